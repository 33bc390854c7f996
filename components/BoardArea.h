// The main window's inner area: the board surface with its coordinate system (pixels, twips or
// a user scale), on which pieces and picture boxes are placed.
#pragma once

#include <QWidget>

#include <functional>

namespace morvane {

class BoardArea : public QWidget {
    Q_OBJECT

public:
    enum class ScaleMode { User = 0, Twips = 1, Pixels = 3 };

    explicit BoardArea(QWidget *parent = nullptr);

    ScaleMode scaleMode() const { return m_mode; }
    // The inner size in the current units.
    double scaleWidth() const;
    double scaleHeight() const;
    // Switching to a user scale keeps the other dimension's current extent, as a window does.
    void setScaleWidth(double units);
    void setScaleHeight(double units);
    // Back to the window's default system (twips).
    void resetScale();
    void setScaleModePixels();

    double pixelsPerUnitX() const;
    double pixelsPerUnitY() const;

    // Called for a mouse move over the board's own background (not over a piece).
    std::function<void()> onBackgroundMouseMove;

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    ScaleMode m_mode = ScaleMode::Pixels;
    double m_userWidth = 0;
    double m_userHeight = 0;
};

} // namespace morvane
