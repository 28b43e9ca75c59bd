#include "platform/WindowTwips.h"

#include "platform/PrimaryScreen.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

#include <vector>

namespace WindowTwips {

namespace {

// Waits for the first move, resize or show event after which the window has a frame, then
// runs what was waiting for it in the order it was asked for: a minimum size relaxed by the
// frame must be in place before a size that relies on it is applied.
class FrameWatcher : public QObject {
public:
    explicit FrameWatcher(QWidget *window)
        : QObject(window)
        , mWindow(window)
    {
        window->installEventFilter(this);
    }

    static FrameWatcher *of(QWidget *window)
    {
        for (QObject *child : window->children()) {
            if (auto *watcher = dynamic_cast<FrameWatcher *>(child))
                return watcher;
        }
        return new FrameWatcher(window);
    }

    void add(std::function<void(const QMargins &)> apply) { mApply.push_back(std::move(apply)); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (watched == mWindow &&
            (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show)) {
            const QMargins margins = frameMargins(mWindow);
            if (!margins.isNull()) {
                mWindow->removeEventFilter(this);
                setParent(nullptr);
                deleteLater();
                for (const auto &apply : mApply)
                    apply(margins);
            }
        }
        return false;
    }

private:
    QWidget *mWindow;
    std::vector<std::function<void(const QMargins &)>> mApply;
};

} // namespace

QRect outerRect(const QWidget *window)
{
    return primaryTwipsScale().rectToTwips(window->frameGeometry());
}

QMargins frameMargins(const QWidget *window)
{
    const QRect frame = window->frameGeometry();
    const QRect client = window->geometry();
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}

QMargins knownFrame()
{
    for (const QWidget *window : QApplication::topLevelWidgets()) {
        const QMargins frame = window->isVisible() ? frameMargins(window) : QMargins();
        if (!frame.isNull())
            return frame;
    }
    return {};
}

void setOuterRect(QWidget *window, const QRect &twips)
{
    const QRect outer = primaryTwipsScale().rectToPixels(twips);
    const auto apply = [window, outer](const QMargins &margins) {
        window->resize(outer.width() - margins.left() - margins.right(),
                       outer.height() - margins.top() - margins.bottom());
        window->move(outer.topLeft());
    };
    const QMargins margins = frameMargins(window);
    apply(margins);
    if (margins.isNull())
        whenFramed(window, apply);
}

void whenFramed(QWidget *window, std::function<void(const QMargins &)> apply)
{
    const QMargins margins = frameMargins(window);
    if (!margins.isNull()) {
        apply(margins);
        return;
    }
    FrameWatcher::of(window)->add(std::move(apply));
}

} // namespace WindowTwips
