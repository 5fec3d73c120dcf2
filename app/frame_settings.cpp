#include "app/frame_settings.h"

#include "config/config_store.h"

#include <QDataStream>
#include <QGuiApplication>
#include <QIODevice>
#include <QMainWindow>
#include <QScreen>
#include <QStatusBar>

namespace app {
namespace {

using config::Key;

// Bumped whenever the layout of the stored blob changes; older blobs are then ignored.
constexpr quint32 kBarStateVersion = 1;

// The most of a stored size that fits the screen the window opens on: a size stored on a larger
// screen, or under another scale factor, would put the status bar out of reach.
QSize FittedSize(const QWidget& window, QPoint topLeft, QSize stored)
{
    const QScreen* screen = QGuiApplication::screenAt(topLeft);
    if (screen == nullptr)
        screen = window.screen();
    if (screen == nullptr)
        return stored;
    return stored.boundedTo(screen->availableGeometry().size());
}

} // namespace

void LoadWindowPos(QWidget& window, const config::Config& config)
{
    const int left = config.ReadInt(Key::WindowLeft);
    const int top = config.ReadInt(Key::WindowTop);
    const int right = config.ReadInt(Key::WindowRight);
    const int bottom = config.ReadInt(Key::WindowBottom);
    window.setWindowState(Qt::WindowNoState);
    window.move(left, top);
    window.resize(FittedSize(window, QPoint(left, top), QSize(right - left, bottom - top)));
}

void SaveWindowPos(const QWidget& window, const config::Config& config)
{
    if (window.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    // Position of the frame and size of the window, as move() and resize() take them back.
    const QPoint pos = window.pos();
    const QSize size = window.size();
    config.WriteInt(Key::WindowLeft, pos.x());
    config.WriteInt(Key::WindowTop, pos.y());
    config.WriteInt(Key::WindowRight, pos.x() + size.width());
    config.WriteInt(Key::WindowBottom, pos.y() + size.height());
}

void LoadBarState(QMainWindow& window, const config::Config& config)
{
    const QByteArray blob =
        QByteArray::fromBase64(QByteArray::fromStdString(config.ReadString(Key::BarState)));
    if (blob.isEmpty())
        return;
    QDataStream in(blob);
    quint32 version = 0;
    QByteArray bars;
    bool statusBarVisible = true;
    in >> version >> bars >> statusBarVisible;
    if (in.status() != QDataStream::Ok || version != kBarStateVersion)
        return;
    if (window.restoreState(bars) && window.statusBar() != nullptr)
        window.statusBar()->setVisible(statusBarVisible);
}

void SaveBarState(const QMainWindow& window, const config::Config& config)
{
    QByteArray blob;
    QDataStream out(&blob, QIODevice::WriteOnly);
    // QMainWindow's own state leaves out the status bar's visibility; it travels alongside.
    const QStatusBar* status = window.findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly);
    out << kBarStateVersion << window.saveState() << (status == nullptr || !status->isHidden());
    config.WriteString(Key::BarState, blob.toBase64().toStdString());
}

} // namespace app
