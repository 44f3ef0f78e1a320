#pragma once

#include <QProgressBar>

class SearchProgress;

// The bar under the result label that shows how far a long search has come and about how long
// it still takes; hidden whenever no search shows its progress.
class SearchProgressBar : public QProgressBar {
    Q_OBJECT
public:
    explicit SearchProgressBar(QWidget* parent);

    void showWork(const SearchProgress& work);
};
