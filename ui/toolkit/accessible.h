// What assistive technology (screen readers, magnifiers, voice control) reads of the windows,
// through Microsoft Active Accessibility. The system serves the standard controls; a window of
// our own classes (forms, group boxes, panels) serves its client area itself, with one small
// IAccessible for all of them: the control's name, role, state, location and parent, and as
// children the texts and pictures that a form draws itself (labels, named images: they have no
// window to be asked), in reading order, followed by the child windows. Controls say what is
// read through Control::AccessibleName and AccessibleRole.
#pragma once
#include <windows.h>

#include <oleacc.h>

#include <string>

namespace vemo::ui {

// The answer to WM_GETOBJECT for a window of ours: our object for its client area, 0 (the
// system's own answer) for anything else.
LRESULT AnswerGetObject(HWND hwnd, WPARAM wparam, LPARAM lparam);
// Tells clients that the name of a window's client area has changed.
void NotifyNameChange(HWND hwnd);
// Names a standard control's client area for clients (the system's dynamic annotation, which
// its own objects read); false where the system offers none.
bool AnnotateName(HWND hwnd, const std::string& name);

}  // namespace vemo::ui
