#pragma once

#include <QLabel>

// The DM/Euro field: shows the currency and the converted number, keeps the converted number's
// text after the caption was blanked, and hands it on when clicked.
class ConversionLabel : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QString resultText READ resultText WRITE setResultText)
public:
    explicit ConversionLabel(QWidget* parent = nullptr);

    QString resultText() const { return m_resultText; }
    void setResultText(const QString& text) { m_resultText = text; }

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString m_resultText;
};
