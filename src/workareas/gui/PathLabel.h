#pragma once

#include <QLabel>

namespace tolvane {

// A static text showing a path. Its text stays the whole path; a path too long for the label is
// drawn shortened in the middle, and the whole path shows as its tool tip.
class PathLabel : public QLabel {
    Q_OBJECT
public:
    explicit PathLabel(const QString& objectName, QWidget* parent = nullptr);

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
};

} // namespace tolvane
