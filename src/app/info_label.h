#pragma once

#include <QFrame>
#include <QString>

namespace tgw {

// One line of text that takes the room it is given and never asks for more: a text wider than
// the room is cut with an ellipsis and shown whole in the tool tip. The information bar uses it
// so that a long summary (a long face name, every style on) cannot widen the window.
class CInfoLabel : public QFrame {
public:
    explicit CInfoLabel(QWidget* parent = nullptr);

    void setText(const QString& text);
    QString text() const { return m_text; }
    // The text as it is painted in the current width.
    QString shownText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
};

} // namespace tgw
