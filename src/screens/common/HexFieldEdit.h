#pragma once

#include <QString>

class Prompter;
class QLineEdit;

// The check every address and attribute entry box makes when the operator leaves it. On success
// the box holds the upper-cased value and the value is returned; on failure the operator is told
// why ("Input Data Message"), the box keeps the focus with its text selected, and "Cancel" is
// returned. An empty box returns the empty text and says nothing.
QString ValidateHexField(QLineEdit* box, int length, qint64 maximum, Prompter& prompter);

// The address box pattern: pad to the type's width with "0", then check it for that type.
QString ValidateAddressField(QLineEdit* box, qint16 typeCode, Prompter& prompter);
