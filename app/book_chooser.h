// The study program's book chooser, told after each successful import that its library changed.
#pragma once

inline constexpr char kBookChooserTitle[] = "Orvel2选书";
inline constexpr unsigned kLibraryChangedMessage = 3246;  // WM_USER + 2222

// Tells the book chooser, if it runs, and waits a little for it to take the news: a study
// program that is busy costs the import a short wait, one that hangs none.
void TellBookChooser();
