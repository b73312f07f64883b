// The tool's texts are GBK bytes: it runs only where they are read as such.
#pragma once

// The system's code page for programs that are not Unicode that the tool's texts need.
inline constexpr unsigned kGbkCodePage = 936;

// True when the system reads the tool's texts as GBK.
bool SystemCodePageIsGbk();

// Explains, in Chinese and English, that the tool needs code page 936 and where to set it; a
// message box written with the wide-character calls, so that it reads right on any system.
void ExplainCodePage();
