// What a screen reader sees of one of our windows: its client object (Active Accessibility,
// from Windows XP on), whose children are the windowless controls that a user reads or acts on,
// as simple elements with child ids, and the child windows, through the system's own objects.
// Windowless controls have no object unless their window gives them one.
#pragma once

#include <windows.h>

#include <vector>

class TControl;
class TWinControl;

// The answer to WM_GETOBJECT for one of our windows: its client object for OBJID_CLIENT, and 0
// for every other object, which the system answers.
LRESULT AnswerAccessibleClient(TWinControl& window, WPARAM wParam, LPARAM lParam);

// The children of a window's client object in reading order (top to bottom, then left to
// right): its windowless controls with a role, and its child windows.
std::vector<TControl*> AccessibleChildren(const TWinControl& window);

// The child id of a control in its window's client object (1 for the first child), or 0.
long AccessibleChildId(const TWinControl& window, const TControl* control);

// Clicks the windowless child with that id, when it is there to be clicked.
void ClickAccessibleChild(TWinControl& window, long childId);
