#pragma once

#include "clsControl.h"

#include <QHash>
#include <QString>

#include <memory>
#include <vector>

// The control records of one window, in the order they were added and keyed by control key.
// Records are only ever appended, so a record's Tag is its 1-based position. Keys are unique
// and case-sensitive, like objectName; an empty key is never stored.
class col_Controls {
public:
    col_Controls();
    ~col_Controls();
    col_Controls(const col_Controls&) = delete;
    col_Controls& operator=(const col_Controls&) = delete;

    // Both return the new record, or nullptr when the key is empty or already taken; a refused
    // record leaves the collection exactly as it was.
    clsControl* Add(qint32 lTop, qint32 lLeft, qint32 lWidth, qint32 lHeight, const QString& sName,
                    float iFontSize);
    clsControl* AddLine(qint32 lX1, qint32 lX2, qint32 lY1, qint32 lY2, const QString& sName);

    // The record stored under the key, or nullptr.
    clsControl* Item(const QString& ItemName) const;
    qint32 Count() const;

private:
    clsControl* append(std::unique_ptr<clsControl> record);

    std::vector<std::unique_ptr<clsControl>> m_records;
    QHash<QString, clsControl*> m_byKey;
};
