#pragma once

class QLineEdit;

// Makes a text box display-only the way the operator knows it: the focus selects its whole text,
// and whatever is typed into it is undone when it loses the focus (file path, file size, port
// status and the like). The box keeps its normal look, so its text can still be selected.
void ProtectField(QLineEdit* box);

// A new display-only text box with this object name.
QLineEdit* ProtectedBox(const char* objectName);
