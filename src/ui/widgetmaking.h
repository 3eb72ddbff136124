#pragma once

#include <QString>
#include <QWidget>

namespace fichora {

/// A control of a window at its fixed place, named as the window's designers named it.
template <typename T> T* make(QWidget* parent, const QString& objectName, int x, int y, int w, int h)
{
    auto* widget = new T(parent);
    widget->setObjectName(objectName);
    widget->setGeometry(x, y, w, h);
    return widget;
}

template <typename T> T* make(QWidget* parent, const char* objectName, int x, int y, int w, int h)
{
    return make<T>(parent, QString::fromLatin1(objectName), x, y, w, h);
}

} // namespace fichora
