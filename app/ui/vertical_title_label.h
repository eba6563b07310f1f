#pragma once

#include <QWidget>

// A title written from bottom to top along the left edge of the main window, on a dark band.
class VerticalTitleLabel : public QWidget {
    Q_OBJECT
public:
    explicit VerticalTitleLabel(const QString& text, QWidget* parent = nullptr);

    QString text() const { return text_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont titleFont() const;
    QString text_;
};
