// Sets the fixed texts of the main window once, at its creation.
#pragma once

// Application title, window caption, button captions and hints, menu captions and the five
// list columns, in that order.
void CaptionsSet();
