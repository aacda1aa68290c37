#pragma once

#include <QWidget>

class QTableView;

namespace Quellon {

class GridModel;

// The one footer row under a grid: each column's footer drawn under that
// column, following the columns as they are resized, moved and scrolled.
class GridFooter : public QWidget
{
    Q_OBJECT
public:
    GridFooter(QTableView *view, GridModel *model, QWidget *parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QTableView *m_view;
    GridModel *m_model;
};

} // namespace Quellon
