#pragma once

#include <QObject>
#include <QPointer>

// An object held through one of its interfaces that reads as null once the object is gone,
// so nobody has to remember to clear it. It turns null when QObject's own destructor runs:
// from inside the destructors of the object's classes it still reads as set.
template <typename T> class Tracked {
public:
    Tracked() = default;
    template <typename U>
    Tracked(U *object)
        : mObject(object)
        , mView(object)
    {
    }

    T *get() const { return mObject ? mView : nullptr; }
    T *operator->() const { return get(); }
    explicit operator bool() const { return get() != nullptr; }

private:
    QPointer<QObject> mObject;
    T *mView = nullptr;
};
