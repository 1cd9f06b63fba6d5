#pragma once

#include <QString>

// Gives a control the name the rest of the program, the tests and
// accessibility tools know it by, and returns it for further set-up.
template <typename T> T* Named(T* object, const char* name) {
    object->setObjectName(QString::fromLatin1(name));
    return object;
}
