#pragma once

#include "support/Parts.h"
#include "support/RecordingReporter.h"

#include <functional>

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QTest>
#include <QTimer>

namespace varnolux::test {

/// Runs the action once the dialog is on screen, from inside its event loop.
inline void WhenShown(QDialog& dialog, std::function<void()> action)
{
    auto* poll = new QTimer(&dialog);
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, &dialog, [poll, &dialog, action] {
        if (!dialog.isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        action();
    });
    poll->start();
}

/// A picture of one colour.
inline QImage Plain(int width, int height, QRgb colour = qRgb(255, 255, 255))
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

/// A press, moves with the left button held through the points, and a release at the last.
inline void Drag(QWidget& view, const std::vector<QPoint>& points)
{
    QTest::mousePress(&view, Qt::LeftButton, {}, points.front());
    for (size_t i = 1; i < points.size(); ++i)
        QTest::mouseMove(&view, points[i]);
    QTest::mouseRelease(&view, Qt::LeftButton, {}, points.back());
}

} // namespace varnolux::test
