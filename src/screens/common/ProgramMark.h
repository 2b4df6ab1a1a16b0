#pragma once

#include <QPixmap>

// The program's mark: a white V on a blue key cap, drawn in code so no art has to be shipped.
QPixmap ProgramMark(int size);
