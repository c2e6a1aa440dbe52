#pragma once
// The display rules of received and sent text in the ASCII-mode memos, as functions over the memo's text.
#include <functional>
#include <string>
#include <string_view>

namespace station {

// Length at which a memo is trimmed, and what remains of it.
constexpr size_t LIMITE_MEMO = 10000;
constexpr size_t RESTE_MEMO = 9000;

// Appends a received or sent text to a memo's text: a backspace (8) deletes the memo's last character; a
// character >= 32 or CR is appended, CR followed by LF; every other control character is ignored. Each
// character appended (CR included, not its LF) is passed to `parole` when it is given (speech of received
// text). The caret then stands after the last character.
void Ajoute_texte_memo(std::string& memo, std::string_view texte,
                       const std::function<void(char)>& parole = nullptr);

// A memo of LIMITE_MEMO characters or more keeps only its last RESTE_MEMO characters.
void Limite_memo(std::string& memo);

}  // namespace station
