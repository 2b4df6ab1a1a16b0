#pragma once

class QWidget;

// Selects entry n (0-based) of a combo box or list widget without running its click handler.
// True when the control now shows entry n; controls of other kinds are left alone.
bool SelectListEntrySilently(QWidget* control, int n);
