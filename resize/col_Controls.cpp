#include "col_Controls.h"

col_Controls::col_Controls() = default;
col_Controls::~col_Controls() = default;

clsControl* col_Controls::Add(qint32 lTop, qint32 lLeft, qint32 lWidth, qint32 lHeight,
                              const QString& sName, float iFontSize) {
    auto record = std::make_unique<clsControl>();
    record->Top(lTop);
    record->Left(lLeft);
    record->Height(lHeight);
    record->Width(lWidth);
    record->Name(sName);
    record->Fontsize(iFontSize);
    return append(std::move(record));
}

clsControl* col_Controls::AddLine(qint32 lX1, qint32 lX2, qint32 lY1, qint32 lY2,
                                  const QString& sName) {
    auto record = std::make_unique<clsControl>();
    record->X1(lX1);
    record->X2(lX2);
    record->Y1(lY1);
    record->Y2(lY2);
    record->ResizeOption(0);
    record->Name(sName);
    return append(std::move(record));
}

clsControl* col_Controls::append(std::unique_ptr<clsControl> record) {
    const QString key = record->Name();
    if (key.isEmpty() || m_byKey.contains(key))
        return nullptr;
    // The number is only given once the record is sure to stay, so a refused one uses none up.
    record->Tag(Count() + 1);
    clsControl* raw = record.get();
    m_records.push_back(std::move(record));
    m_byKey.insert(key, raw);
    return raw;
}

clsControl* col_Controls::Item(const QString& ItemName) const {
    return m_byKey.value(ItemName, nullptr);
}

qint32 col_Controls::Count() const {
    return qint32(m_records.size());
}
