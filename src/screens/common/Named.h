#pragma once

#include <QLatin1String>

#include <utility>

// Creates a widget under the name the operator documentation and the tests know it by.
template <typename T, typename... Args> T* Named(const char* objectName, Args&&... args)
{
    auto* widget = new T(std::forward<Args>(args)...);
    widget->setObjectName(QLatin1String(objectName));
    return widget;
}
