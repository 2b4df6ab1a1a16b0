#pragma once

#include "Encoders.h"

#include <functional>

// The steps every encoder shares: the fallback, the path, the read, the message.
QString EncodeWithShape(const QString& folderOrPath, const QString& fileName,
                        const QString& fallback, AppState& state, Prompter& prompter,
                        const QString& failureTitle,
                        const std::function<QString(const BitmapImage&)>& convert);
