#pragma once
// Grids: TStringGrid, a table of text cells with fixed (title) rows and columns, a current cell and a
// selected range, scrolled by its own window scroll bars and drawn by the layer itself (its window is of its
// own class, "TStringGrid").
#include <functional>
#include <string>
#include <vector>

#include "gui/controls.h"

namespace gui {

// Options (a set).
using TGridOptions = uint32_t;
inline constexpr TGridOptions goFixedVertLine = 0x0001;
inline constexpr TGridOptions goFixedHorzLine = 0x0002;
inline constexpr TGridOptions goVertLine = 0x0004;
inline constexpr TGridOptions goHorzLine = 0x0008;
inline constexpr TGridOptions goRangeSelect = 0x0010;
inline constexpr TGridOptions goDrawFocusSelected = 0x0020;
inline constexpr TGridOptions goRowSelect = 0x0040;
inline constexpr TGridOptions goThumbTracking = 0x0080;

// Draw state of a cell (a set).
using TGridDrawState = uint32_t;
inline constexpr TGridDrawState gdSelected = 0x1;
inline constexpr TGridDrawState gdFocused = 0x2;
inline constexpr TGridDrawState gdFixed = 0x4;

// A range of cells, inclusive: Left..Right columns, Top..Bottom rows.
struct TGridRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool Contains(int col, int row) const { return col >= Left && col <= Right && row >= Top && row <= Bottom; }
  friend bool operator==(const TGridRect&, const TGridRect&) = default;
};

struct TGridCoord {
  int X = -1, Y = -1;
  friend bool operator==(const TGridCoord&, const TGridCoord&) = default;
};

using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TDrawCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State)>;

class TCustomGrid : public TWinControl {
 public:
  explicit TCustomGrid(TComponent* AOwner);
  GUI_CLASS_NAME("TCustomGrid")

  int ColCount() const { return colCount_; }
  void SetColCount(int n);
  int RowCount() const { return rowCount_; }
  void SetRowCount(int n);
  // Fixed rows and columns stay in place while the rest scrolls; there is always one scrolling row and column.
  int FixedCols() const { return fixedCols_; }
  void SetFixedCols(int n);
  int FixedRows() const { return fixedRows_; }
  void SetFixedRows(int n);
  int DefaultColWidth() const { return defaultColWidth_; }
  void SetDefaultColWidth(int w);
  int DefaultRowHeight() const { return defaultRowHeight_; }
  void SetDefaultRowHeight(int h);
  int ColWidths(int col) const;
  void SetColWidths(int col, int w);
  int RowHeights(int row) const;
  void SetRowHeights(int row, int h);
  int GridLineWidth() const { return gridLineWidth_; }
  void SetGridLineWidth(int w);
  TGridOptions Options() const { return options_; }
  void SetOptions(TGridOptions o);
  TColor FixedColor() const { return fixedColor_; }
  void SetFixedColor(TColor c);
  // Colours of the selected cells and of the grid lines between scrolling and between fixed cells.
  TColor SelectionColor() const { return selectionColor_; }
  void SetSelectionColor(TColor c);
  TColor SelectionTextColor() const { return selectionTextColor_; }
  void SetSelectionTextColor(TColor c);
  TColor GridLineColor() const { return gridLineColor_; }
  void SetGridLineColor(TColor c);
  TColor GridFixedLineColor() const { return gridFixedLineColor_; }
  void SetGridFixedLineColor(TColor c);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle s);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle s);

  // The current cell. Moving it asks OnSelectCell, collapses the selection onto it and scrolls it into view.
  int Col() const { return col_; }
  void SetCol(int c) { MoveCurrent(c, row_); }
  int Row() const { return row_; }
  void SetRow(int r) { MoveCurrent(col_, r); }
  // Moves the current cell; false when OnSelectCell refused or the cell is fixed or outside the grid.
  bool MoveCurrent(int col, int row, bool extendSelection = false);
  TGridRect Selection() const;
  void SetSelection(TGridRect r);

  // The first scrolling row and column shown.
  int TopRow() const { return topRow_; }
  void SetTopRow(int r);
  int LeftCol() const { return leftCol_; }
  void SetLeftCol(int c);
  // Scrolling rows and columns wholly visible from TopRow / LeftCol (at least 1).
  int VisibleRowCount() const;
  int VisibleColCount() const;
  // Where a cell lies in the client area (empty when it is scrolled out of view).
  TRect CellRect(int col, int row) const;
  // The cell under a client point ({-1, -1} outside every cell).
  TGridCoord MouseCoord(int x, int y) const;
  // The area the cells are drawn in: inside the border, without the scroll bars (which are always shown, greyed
  // while there is nothing to scroll).
  TRect ClientRect() const override;

  TSelectCellEvent OnSelectCell;
  TDrawCellEvent OnDrawCell;
  TNotifyEvent OnTopLeftChanged;

 protected:
  void CreateParams(TCreateParams& p) override;
  void InitializeWindow() override;
  bool WindowMessage(TMessage& m) override;
  void WndProc(TMessage& m) override;
  void BoundsChanged(bool sizeChanged) override;
  bool OwnPaint() const override { return true; }
  void PaintWindow(HDC dc) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  virtual void Paint();
  virtual void DrawCell(int col, int row, const TRect& r, TGridDrawState state);
  virtual void SizeChanged(int oldCols, int oldRows) {}
  // A key moves the current cell (arrows, page keys, Home, End); true when it was one of them.
  bool KeyMoves(WORD key, TShiftState shift);
  // The user scrolled a bar (window side calls it; also the keys).
  void ScrollBarMoved(bool horizontal, int code, int thumb);
  TCanvas canvas_;

 private:
  int Extent(const std::vector<int>& sizes, int from, int to, int def) const;
  int MaxTopRow() const;
  int MaxLeftCol() const;
  void ClampCurrent();
  void TopLeftChanged(int oldTop, int oldLeft);
  // Window side: the scroll bars follow the scrolled rows and columns; the keyboard's shift state (none
  // natively).
  void ScrollBarsToWindow();
  static TShiftState KeyShiftState();
  bool WindowClientRect(TRect& r) const;
  int colCount_ = 5, rowCount_ = 5, fixedCols_ = 1, fixedRows_ = 1;
  int defaultColWidth_ = 64, defaultRowHeight_ = 24, gridLineWidth_ = 1;
  std::vector<int> colWidths_, rowHeights_;  // empty entries follow the default
  TGridOptions options_ = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
  TColor fixedColor_ = clBtnFace;
  TColor selectionColor_ = clHighlight, selectionTextColor_ = clHighlightText;
  TColor gridLineColor_ = clSilver, gridFixedLineColor_ = clBtnShadow;
  TScrollStyle scrollBars_ = TScrollStyle::ssBoth;
  TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
  int col_ = 1, row_ = 1, anchorCol_ = 1, anchorRow_ = 1;
  int topRow_ = 1, leftCol_ = 1;
};

class TStringGrid : public TCustomGrid {
 public:
  explicit TStringGrid(TComponent* AOwner);
  GUI_CLASS_NAME("TStringGrid")

  // Cells outside the grid read as empty; writing one outside raises EInvalidOperation. Cells keep their text
  // while the grid shrinks and grows again only if they stayed inside.
  std::string Cells(int col, int row) const;
  void SetCells(int col, int row, const std::string& s);
  // A whole row or column, as many texts as the grid has columns (rows).
  std::vector<std::string> Rows(int row) const;
  void SetRows(int row, const std::vector<std::string>& texts);
  std::vector<std::string> Cols(int col) const;
  void SetCols(int col, const std::vector<std::string>& texts);

 protected:
  void DrawCell(int col, int row, const TRect& r, TGridDrawState state) override;
  void SizeChanged(int oldCols, int oldRows) override;

 private:
  void InvalidateCell(int col, int row);
  std::vector<std::vector<std::string>> cells_;  // [row][col]
};

}  // namespace gui
