// The fixed pixel numbers the bar adds to its dialog-unit layout. Dialog
// units scale with the dialog font; these are pixels at 96 DPI, and the bar
// scales each of them to its own DPI (CBarDlg::ScalePixels) so that they keep
// their size next to the font.
#pragma once

// The title strip's height: the button row sits this far down when it shows.
constexpr int kStripHeight = 16;
// Gap between the last packed button of the custom page and 的.
constexpr int kTargetGap = 5;
// Gap between the last button (or 的) of the custom page and →.
constexpr int kNextGap = 6;
// Room to the right of → inside the bar's frame.
constexpr int kRightMargin = 7;
// Room below the button row inside the bar's frame.
constexpr int kBottomMargin = 2;
// The keyboard menu opens this far inside the bar's client area.
constexpr int kMenuInset = 5;
// The bar's height when it first shows, until its page is laid out.
constexpr int kProvisionalHeight = 11;

// Where the bar docks on the target window, measured from the corner it
// docks at, so that it clears the target's system menu (left) and its caption
// buttons (right).
constexpr int kDockTopLeftX = 23;
constexpr int kDockTopRightX = 69;
constexpr int kDockBottomLeftX = 8;
constexpr int kDockBottomRightX = 11;
// Where the system tells where the target's caption buttons are (Windows 10
// and 11 draw three of 46 px each, wider than 69 allows for), the bar keeps
// this gap left of them: the gap it keeps from the frame at the bottom right,
// as 69 is 11 and the classic frame and three 18 px buttons it was made for.
constexpr int kDockCaptionButtonsGap = kDockBottomRightX;

// The pause before each button a page pass shows or hides: the buttons
// appear one after the other.
constexpr unsigned kButtonStepMs = 10;
