#include "gui/grids.h"

#include <algorithm>

namespace gui {

namespace {
constexpr WORD kPrior = 0x21, kNext = 0x22, kEnd = 0x23, kHome = 0x24, kLeft = 0x25, kUp = 0x26, kRight = 0x27,
               kDown = 0x28;
constexpr int kLineUp = 0, kLineDown = 1, kPageUp = 2, kPageDown = 3, kThumbPosition = 4, kThumbTrack = 5, kTop = 6,
              kBottom = 7;
}  // namespace

TCustomGrid::TCustomGrid(TComponent* AOwner) : TWinControl(AOwner) {
  controlStyle_ = csCaptureMouse | csClickEvents | csDoubleClicks | csOpaque;
  tabStop_ = true;
  color_ = clWindow;
  width_ = 320;
  height_ = 120;
}

void TCustomGrid::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WinClassName = "TStringGrid";
  p.OwnClass = true;
  p.ClassStyle = 0x0003;  // CS_VREDRAW | CS_HREDRAW
  if (scrollBars_ == TScrollStyle::ssVertical || scrollBars_ == TScrollStyle::ssBoth) p.Style |= 0x00200000;
  if (scrollBars_ == TScrollStyle::ssHorizontal || scrollBars_ == TScrollStyle::ssBoth) p.Style |= 0x00100000;
  if (borderStyle_ == TBorderStyle::bsSingle) p.ExStyle |= 0x00000200;  // WS_EX_CLIENTEDGE
}

void TCustomGrid::InitializeWindow() { ScrollBarsToWindow(); }

int TCustomGrid::Extent(const std::vector<int>& sizes, int from, int to, int def) const {
  int total = 0;
  for (int i = from; i < to; ++i)
    total += (i < static_cast<int>(sizes.size()) && sizes[static_cast<size_t>(i)] >= 0 ? sizes[static_cast<size_t>(i)]
                                                                                     : def) +
             gridLineWidth_;
  return total;
}

int TCustomGrid::ColWidths(int col) const {
  if (col >= 0 && col < static_cast<int>(colWidths_.size()) && colWidths_[static_cast<size_t>(col)] >= 0)
    return colWidths_[static_cast<size_t>(col)];
  return defaultColWidth_;
}

int TCustomGrid::RowHeights(int row) const {
  if (row >= 0 && row < static_cast<int>(rowHeights_.size()) && rowHeights_[static_cast<size_t>(row)] >= 0)
    return rowHeights_[static_cast<size_t>(row)];
  return defaultRowHeight_;
}

void TCustomGrid::SetColWidths(int col, int w) {
  if (col < 0 || col >= colCount_) throw EInvalidOperation("Grid index out of range");
  if (static_cast<int>(colWidths_.size()) <= col) colWidths_.resize(static_cast<size_t>(col) + 1, -1);
  colWidths_[static_cast<size_t>(col)] = std::max(w, 0);
  ScrollBarsToWindow();
  Invalidate();
}

void TCustomGrid::SetRowHeights(int row, int h) {
  if (row < 0 || row >= rowCount_) throw EInvalidOperation("Grid index out of range");
  if (static_cast<int>(rowHeights_.size()) <= row) rowHeights_.resize(static_cast<size_t>(row) + 1, -1);
  rowHeights_[static_cast<size_t>(row)] = std::max(h, 0);
  ScrollBarsToWindow();
  Invalidate();
}

void TCustomGrid::SetColCount(int n) {
  if (n < 1) n = 1;
  if (n == colCount_) return;
  const int oldCols = colCount_;
  colCount_ = n;
  if (fixedCols_ >= colCount_) fixedCols_ = colCount_ - 1;
  if (static_cast<int>(colWidths_.size()) > n) colWidths_.resize(static_cast<size_t>(n));
  SizeChanged(oldCols, rowCount_);
  ClampCurrent();
}

void TCustomGrid::SetRowCount(int n) {
  if (n < 1) n = 1;
  if (n == rowCount_) return;
  const int oldRows = rowCount_;
  rowCount_ = n;
  if (fixedRows_ >= rowCount_) fixedRows_ = rowCount_ - 1;
  if (static_cast<int>(rowHeights_.size()) > n) rowHeights_.resize(static_cast<size_t>(n));
  SizeChanged(colCount_, oldRows);
  ClampCurrent();
}

void TCustomGrid::SetFixedCols(int n) {
  if (n < 0 || n >= colCount_) throw EInvalidOperation("Fixed column count must be less than column count");
  fixedCols_ = n;
  ClampCurrent();
}

void TCustomGrid::SetFixedRows(int n) {
  if (n < 0 || n >= rowCount_) throw EInvalidOperation("Fixed row count must be less than row count");
  fixedRows_ = n;
  ClampCurrent();
}

void TCustomGrid::SetDefaultColWidth(int w) {
  defaultColWidth_ = std::max(w, 0);
  ClampCurrent();
}

void TCustomGrid::SetDefaultRowHeight(int h) {
  defaultRowHeight_ = std::max(h, 0);
  ClampCurrent();
}

void TCustomGrid::SetGridLineWidth(int w) {
  gridLineWidth_ = std::max(w, 0);
  ClampCurrent();
}

void TCustomGrid::SetOptions(TGridOptions o) {
  options_ = o;
  Invalidate();
}

void TCustomGrid::SetFixedColor(TColor c) {
  fixedColor_ = c;
  Invalidate();
}

void TCustomGrid::SetSelectionColor(TColor c) {
  selectionColor_ = c;
  Invalidate();
}

void TCustomGrid::SetSelectionTextColor(TColor c) {
  selectionTextColor_ = c;
  Invalidate();
}

void TCustomGrid::SetGridLineColor(TColor c) {
  gridLineColor_ = c;
  Invalidate();
}

void TCustomGrid::SetGridFixedLineColor(TColor c) {
  gridFixedLineColor_ = c;
  Invalidate();
}

void TCustomGrid::SetScrollBars(TScrollStyle s) {
  if (s == scrollBars_) return;
  scrollBars_ = s;
  RecreateWnd();
}

void TCustomGrid::SetBorderStyle(TBorderStyle s) {
  if (s == borderStyle_) return;
  borderStyle_ = s;
  RecreateWnd();
}

// Keeps the current cell, the anchor and the scrolled position inside the scrolling part after a change of
// the grid's shape.
void TCustomGrid::ClampCurrent() {
  const int oldTop = topRow_, oldLeft = leftCol_;
  auto clamp = [](int v, int lo, int hi) { return std::clamp(v, lo, std::max(lo, hi)); };
  col_ = clamp(col_, fixedCols_, colCount_ - 1);
  row_ = clamp(row_, fixedRows_, rowCount_ - 1);
  anchorCol_ = clamp(anchorCol_, fixedCols_, colCount_ - 1);
  anchorRow_ = clamp(anchorRow_, fixedRows_, rowCount_ - 1);
  topRow_ = clamp(topRow_, fixedRows_, MaxTopRow());
  leftCol_ = clamp(leftCol_, fixedCols_, MaxLeftCol());
  ScrollBarsToWindow();
  if (topRow_ != oldTop || leftCol_ != oldLeft) TopLeftChanged(oldTop, oldLeft);
  Invalidate();
}

// The largest TopRow that still fills the client area (the last rows wholly visible).
int TCustomGrid::MaxTopRow() const {
  const int avail = ClientHeight() - Extent(rowHeights_, 0, fixedRows_, defaultRowHeight_);
  int used = 0, top = rowCount_ - 1;
  while (top >= fixedRows_) {
    used += RowHeights(top) + gridLineWidth_;
    if (used > avail) break;
    --top;
  }
  return std::clamp(top + 1, fixedRows_, std::max(fixedRows_, rowCount_ - 1));
}

int TCustomGrid::MaxLeftCol() const {
  const int avail = ClientWidth() - Extent(colWidths_, 0, fixedCols_, defaultColWidth_);
  int used = 0, left = colCount_ - 1;
  while (left >= fixedCols_) {
    used += ColWidths(left) + gridLineWidth_;
    if (used > avail) break;
    --left;
  }
  return std::clamp(left + 1, fixedCols_, std::max(fixedCols_, colCount_ - 1));
}

int TCustomGrid::VisibleRowCount() const {
  const int avail = ClientHeight() - Extent(rowHeights_, 0, fixedRows_, defaultRowHeight_);
  int used = 0, n = 0;
  for (int r = topRow_; r < rowCount_; ++r) {
    used += RowHeights(r) + gridLineWidth_;
    if (used > avail) break;
    ++n;
  }
  return std::max(n, 1);
}

int TCustomGrid::VisibleColCount() const {
  const int avail = ClientWidth() - Extent(colWidths_, 0, fixedCols_, defaultColWidth_);
  int used = 0, n = 0;
  for (int c = leftCol_; c < colCount_; ++c) {
    used += ColWidths(c) + gridLineWidth_;
    if (used > avail) break;
    ++n;
  }
  return std::max(n, 1);
}

void TCustomGrid::TopLeftChanged(int oldTop, int oldLeft) {
  (void)oldTop;
  (void)oldLeft;
  ScrollBarsToWindow();
  Invalidate();
  if (OnTopLeftChanged) OnTopLeftChanged(this);
}

void TCustomGrid::SetTopRow(int r) {
  r = std::clamp(r, fixedRows_, MaxTopRow());
  if (r == topRow_) return;
  const int old = topRow_;
  topRow_ = r;
  TopLeftChanged(old, leftCol_);
}

void TCustomGrid::SetLeftCol(int c) {
  c = std::clamp(c, fixedCols_, MaxLeftCol());
  if (c == leftCol_) return;
  const int old = leftCol_;
  leftCol_ = c;
  TopLeftChanged(topRow_, old);
}

TRect TCustomGrid::CellRect(int col, int row) const {
  if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_) return TRect{};
  if ((col >= fixedCols_ && col < leftCol_) || (row >= fixedRows_ && row < topRow_)) return TRect{};
  const int x = col < fixedCols_ ? Extent(colWidths_, 0, col, defaultColWidth_)
                                 : Extent(colWidths_, 0, fixedCols_, defaultColWidth_) +
                                       Extent(colWidths_, leftCol_, col, defaultColWidth_);
  const int y = row < fixedRows_ ? Extent(rowHeights_, 0, row, defaultRowHeight_)
                                 : Extent(rowHeights_, 0, fixedRows_, defaultRowHeight_) +
                                       Extent(rowHeights_, topRow_, row, defaultRowHeight_);
  const TRect client = ClientRect();
  if (x >= client.Right || y >= client.Bottom) return TRect{};
  return TRect{x, y, std::min(x + ColWidths(col), client.Right), std::min(y + RowHeights(row), client.Bottom)};
}

TRect TCustomGrid::ClientRect() const {
  TRect r;
  if (WindowClientRect(r)) return r;
  const int border = borderStyle_ == TBorderStyle::bsSingle ? 2 : 0;
  const bool vert = scrollBars_ == TScrollStyle::ssVertical || scrollBars_ == TScrollStyle::ssBoth;
  const bool horz = scrollBars_ == TScrollStyle::ssHorizontal || scrollBars_ == TScrollStyle::ssBoth;
  return TRect{0, 0, std::max(width_ - 2 * border - (vert ? 17 : 0), 0),
               std::max(height_ - 2 * border - (horz ? 17 : 0), 0)};
}

TGridCoord TCustomGrid::MouseCoord(int x, int y) const {
  TGridCoord c;
  auto find = [&](int p, int fixed, int first, int count, auto size) {
    int edge = 0;
    for (int i = 0; i < fixed; ++i) {
      edge += size(i) + gridLineWidth_;
      if (p < edge) return i;
    }
    for (int i = first; i < count; ++i) {
      edge += size(i) + gridLineWidth_;
      if (p < edge) return i;
    }
    return -1;
  };
  if (x < 0 || y < 0 || x >= ClientWidth() || y >= ClientHeight()) return c;
  c.X = find(x, fixedCols_, leftCol_, colCount_, [this](int i) { return ColWidths(i); });
  c.Y = find(y, fixedRows_, topRow_, rowCount_, [this](int i) { return RowHeights(i); });
  if (c.X < 0 || c.Y < 0) return TGridCoord{};
  return c;
}

TGridRect TCustomGrid::Selection() const {
  TGridRect r{std::min(col_, anchorCol_), std::min(row_, anchorRow_), std::max(col_, anchorCol_),
              std::max(row_, anchorRow_)};
  if (options_ & goRowSelect) {
    r.Left = fixedCols_;
    r.Right = colCount_ - 1;
  }
  return r;
}

void TCustomGrid::SetSelection(TGridRect r) {
  auto clampCol = [this](int c) { return std::clamp(c, fixedCols_, colCount_ - 1); };
  auto clampRow = [this](int v) { return std::clamp(v, fixedRows_, rowCount_ - 1); };
  anchorCol_ = clampCol(r.Left);
  anchorRow_ = clampRow(r.Top);
  col_ = clampCol(r.Right);
  row_ = clampRow(r.Bottom);
  Invalidate();
}

bool TCustomGrid::MoveCurrent(int col, int row, bool extendSelection) {
  if (col < fixedCols_ || row < fixedRows_ || col >= colCount_ || row >= rowCount_) return false;
  bool canSelect = true;
  if (OnSelectCell) OnSelectCell(this, col, row, canSelect);
  if (!canSelect) return false;
  col_ = col;
  row_ = row;
  if (!extendSelection || !(options_ & goRangeSelect)) {
    anchorCol_ = col;
    anchorRow_ = row;
  }
  // Into view: the current cell becomes the first or the last wholly visible one.
  const int oldTop = topRow_, oldLeft = leftCol_;
  if (row_ < topRow_) topRow_ = row_;
  while (row_ >= topRow_ + VisibleRowCount() && topRow_ < MaxTopRow()) ++topRow_;
  if (col_ < leftCol_) leftCol_ = col_;
  while (col_ >= leftCol_ + VisibleColCount() && leftCol_ < MaxLeftCol()) ++leftCol_;
  if (topRow_ != oldTop || leftCol_ != oldLeft) TopLeftChanged(oldTop, oldLeft);
  Invalidate();
  return true;
}

bool TCustomGrid::KeyMoves(WORD key, TShiftState shift) {
  const bool extend = (shift & ssShift) != 0;
  int c = col_, r = row_;
  switch (key) {
    case kUp: --r; break;
    case kDown: ++r; break;
    case kLeft: --c; break;
    case kRight: ++c; break;
    case kPrior: r -= VisibleRowCount(); break;
    case kNext: r += VisibleRowCount(); break;
    case kHome: c = fixedCols_; if (shift & ssCtrl) r = fixedRows_; break;
    case kEnd: c = colCount_ - 1; if (shift & ssCtrl) r = rowCount_ - 1; break;
    default: return false;
  }
  c = std::clamp(c, fixedCols_, colCount_ - 1);
  r = std::clamp(r, fixedRows_, rowCount_ - 1);
  if (c != col_ || r != row_) MoveCurrent(c, r, extend);
  return true;
}

void TCustomGrid::ScrollBarMoved(bool horizontal, int code, int thumb) {
  if (horizontal) {
    switch (code) {
      case kLineUp: SetLeftCol(leftCol_ - 1); break;
      case kLineDown: SetLeftCol(leftCol_ + 1); break;
      case kPageUp: SetLeftCol(leftCol_ - VisibleColCount()); break;
      case kPageDown: SetLeftCol(leftCol_ + VisibleColCount()); break;
      case kThumbPosition:
      case kThumbTrack: SetLeftCol(fixedCols_ + thumb); break;
      case kTop: SetLeftCol(fixedCols_); break;
      case kBottom: SetLeftCol(MaxLeftCol()); break;
      default: break;
    }
  } else {
    switch (code) {
      case kLineUp: SetTopRow(topRow_ - 1); break;
      case kLineDown: SetTopRow(topRow_ + 1); break;
      case kPageUp: SetTopRow(topRow_ - VisibleRowCount()); break;
      case kPageDown: SetTopRow(topRow_ + VisibleRowCount()); break;
      case kThumbPosition:
      case kThumbTrack: SetTopRow(fixedRows_ + thumb); break;
      case kTop: SetTopRow(fixedRows_); break;
      case kBottom: SetTopRow(MaxTopRow()); break;
      default: break;
    }
  }
}

void TCustomGrid::BoundsChanged(bool sizeChanged) {
  TWinControl::BoundsChanged(sizeChanged);
  if (sizeChanged) ClampCurrent();
}

void TCustomGrid::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_KEYDOWN: {
      if (KeyMoves(static_cast<WORD>(m.WParam), KeyShiftState())) {
        m.Result = 0;
        return;
      }
      break;
    }
    case WM_GETDLGCODE:
      m.Result = 0x0001;  // DLGC_WANTARROWS
      return;
    default:
      break;
  }
  TWinControl::WndProc(m);
}

void TCustomGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::mbLeft) {
    if (CanFocus() && !Focused()) SetFocus();
    const TGridCoord c = MouseCoord(x, y);
    if (c.X >= fixedCols_ && c.Y >= fixedRows_) MoveCurrent(c.X, c.Y, (shift & ssShift) != 0);
  }
  TWinControl::MouseDown(button, shift, x, y);
}

void TCustomGrid::MouseMove(TShiftState shift, int x, int y) {
  if ((controlState_ & csLButtonDown) && (options_ & goRangeSelect)) {
    const TGridCoord c = MouseCoord(x, y);
    if (c.X >= fixedCols_ && c.Y >= fixedRows_ && (c.X != col_ || c.Y != row_)) MoveCurrent(c.X, c.Y, true);
  }
  TWinControl::MouseMove(shift, x, y);
}

void TCustomGrid::PaintWindow(HDC dc) {
  canvas_.SetHandle(dc);
  canvas_.Font().Assign(font_);
  Paint();
  canvas_.SetHandle(nullptr);
}

void TCustomGrid::Paint() {
  const TRect client = ClientRect();
  const TGridRect sel = Selection();
  int maxRight = 0, maxBottom = 0;
  auto paintRange = [&](int c0, int c1, int r0, int r1) {
    for (int r = r0; r < r1; ++r)
      for (int c = c0; c < c1; ++c) {
        const TRect cell = CellRect(c, r);
        if (cell.Width() <= 0 || cell.Height() <= 0) continue;
        TGridDrawState state = 0;
        if (c < fixedCols_ || r < fixedRows_) state |= gdFixed;
        else if (sel.Contains(c, r)) state |= gdSelected;
        if (c == col_ && r == row_ && Focused()) state |= gdFocused;
        DrawCell(c, r, cell, state);
        // Grid lines on the right and bottom edges of the cell.
        const bool fixed = (state & gdFixed) != 0;
        if (gridLineWidth_ > 0) {
          canvas_.Brush().Style = TBrushStyle::bsSolid;
          canvas_.Brush().Color = fixed ? gridFixedLineColor_ : gridLineColor_;
          if (options_ & (fixed ? goFixedVertLine : goVertLine))
            canvas_.FillRect(TRect{cell.Right, cell.Top, cell.Right + gridLineWidth_, cell.Bottom + gridLineWidth_});
          if (options_ & (fixed ? goFixedHorzLine : goHorzLine))
            canvas_.FillRect(TRect{cell.Left, cell.Bottom, cell.Right + gridLineWidth_, cell.Bottom + gridLineWidth_});
        }
        maxRight = std::max(maxRight, cell.Right + gridLineWidth_);
        maxBottom = std::max(maxBottom, cell.Bottom + gridLineWidth_);
      }
  };
  paintRange(0, colCount_, 0, rowCount_);
  // What lies beyond the last cell takes the grid's colour.
  canvas_.Brush().Style = TBrushStyle::bsSolid;
  canvas_.Brush().Color = color_;
  if (maxRight < client.Right) canvas_.FillRect(TRect{maxRight, 0, client.Right, client.Bottom});
  if (maxBottom < client.Bottom) canvas_.FillRect(TRect{0, maxBottom, std::min(maxRight, client.Right), client.Bottom});
}

void TCustomGrid::DrawCell(int col, int row, const TRect& r, TGridDrawState state) {
  canvas_.Brush().Style = TBrushStyle::bsSolid;
  canvas_.Brush().Color = (state & gdFixed) ? fixedColor_ : (state & gdSelected) ? SelectionColor() : color_;
  canvas_.FillRect(r);
  if (OnDrawCell) OnDrawCell(this, col, row, r, state);
}

// ============================== TStringGrid ==============================

TStringGrid::TStringGrid(TComponent* AOwner) : TCustomGrid(AOwner) { SizeChanged(0, 0); }

void TStringGrid::SizeChanged(int, int) {
  cells_.resize(static_cast<size_t>(RowCount()));
  for (auto& row : cells_) row.resize(static_cast<size_t>(ColCount()));
}

std::string TStringGrid::Cells(int col, int row) const {
  if (col < 0 || row < 0 || col >= ColCount() || row >= RowCount()) return std::string();
  return cells_[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

void TStringGrid::SetCells(int col, int row, const std::string& s) {
  if (col < 0 || row < 0 || col >= ColCount() || row >= RowCount()) throw EInvalidOperation("Grid index out of range");
  cells_[static_cast<size_t>(row)][static_cast<size_t>(col)] = s;
  InvalidateCell(col, row);
}

std::vector<std::string> TStringGrid::Rows(int row) const {
  if (row < 0 || row >= RowCount()) return std::vector<std::string>(static_cast<size_t>(ColCount()));
  return cells_[static_cast<size_t>(row)];
}

void TStringGrid::SetRows(int row, const std::vector<std::string>& texts) {
  if (row < 0 || row >= RowCount()) throw EInvalidOperation("Grid index out of range");
  for (int c = 0; c < ColCount(); ++c)
    cells_[static_cast<size_t>(row)][static_cast<size_t>(c)] =
        c < static_cast<int>(texts.size()) ? texts[static_cast<size_t>(c)] : std::string();
  Invalidate();
}

std::vector<std::string> TStringGrid::Cols(int col) const {
  std::vector<std::string> out;
  for (int r = 0; r < RowCount(); ++r) out.push_back(Cells(col, r));
  return out;
}

void TStringGrid::SetCols(int col, const std::vector<std::string>& texts) {
  if (col < 0 || col >= ColCount()) throw EInvalidOperation("Grid index out of range");
  for (int r = 0; r < RowCount(); ++r)
    cells_[static_cast<size_t>(r)][static_cast<size_t>(col)] =
        r < static_cast<int>(texts.size()) ? texts[static_cast<size_t>(r)] : std::string();
  Invalidate();
}

void TStringGrid::InvalidateCell(int, int) { Invalidate(); }

void TStringGrid::DrawCell(int col, int row, const TRect& r, TGridDrawState state) {
  canvas_.Brush().Style = TBrushStyle::bsSolid;
  canvas_.Brush().Color = (state & gdFixed) ? FixedColor() : (state & gdSelected) ? SelectionColor() : color_;
  canvas_.Font().Assign(font_);
  if ((state & gdSelected) && !(state & gdFixed)) canvas_.Font().SetColor(SelectionTextColor());
  canvas_.TextRect(r, r.Left + 2, r.Top + 2, Cells(col, row));
  if (OnDrawCell) OnDrawCell(this, col, row, r, state);
}

}  // namespace gui
