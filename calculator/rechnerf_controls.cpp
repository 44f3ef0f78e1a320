// RechnerF's controls, built group by group from the design's layout (twips at design size).

#include "RechnerF.h"

#include "calculatorfonts.h"
#include "captionbutton.h"
#include "conversionlabel.h"
#include "tapelist.h"
#include "twips.h"
#include "updowncontrol.h"

#include <QGuiApplication>
#include <QLabel>

namespace {

void setArrayElement(QObject* o, const QString& name, int index) {
    o->setObjectName(name);
    o->setProperty("index", index);
}

// A label the way the calculator's labels look: opaque, on the face colour of the buttons,
// unless told otherwise.
void paintOpaque(QLabel* label, const QColor& background, const QColor& text) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, background);
    pal.setColor(QPalette::WindowText, text);
    label->setPalette(pal);
    label->setAutoFillBackground(true);
}

void paintOnFace(QLabel* label) {
    const QPalette app = QGuiApplication::palette();
    paintOpaque(label, app.color(QPalette::Button), app.color(QPalette::ButtonText));
}

} // namespace

void RechnerF::buildControls() {
    buildTape();
    buildSettingsRow();
    buildDisplay();
    buildKeys();
    buildSideButtons();
}

void RechnerF::place(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(Twips::rectToPx(left, top, width, height, this));
}

void RechnerF::buildTape() {
    Bon = new TapeList(&m_engine.tape(), m_client);
    Bon->setObjectName(QStringLiteral("Bon"));
    Bon->setFont(CalculatorFonts::tape(9.75));
    Bon->setAccessibleName(QStringLiteral("Papierstreifen"));
    place(Bon, 90, 90, 4000, 1980);
}

// "Dezimalstellen", the places with their spinner, and the conversion field.
void RechnerF::buildSettingsRow() {
    Label2 = new QLabel(QStringLiteral("Dezimalstellen"), m_client);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setFont(CalculatorFonts::sans(8));
    Label2->setIndent(2);
    paintOnFace(Label2);
    place(Label2, 90, 2250, 1230, 300);

    Komma = new QLabel(QStringLiteral("2"), m_client);
    Komma->setObjectName(QStringLiteral("Komma"));
    Komma->setAlignment(Qt::AlignCenter);
    Komma->setFont(CalculatorFonts::sans(9.75, true));
    Komma->setToolTip(QStringLiteral("Dezimalstellen zur kaufm. Rundung"));
    paintOnFace(Komma);
    place(Komma, 1305, 2250, 300, 300);

    UpDown1 = new UpDownControl(m_client);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    UpDown1->setRange(0, 6);
    UpDown1->setValue(2);
    UpDown1->setAccessibleName(QStringLiteral("Dezimalstellen"));
    Label2->setBuddy(UpDown1);
    place(UpDown1, 1606, 2250, 255, 300);
    connect(UpDown1, &UpDownControl::valueChanged, this, &RechnerF::UpDown1_Change);

    DMEURO = new ConversionLabel(m_client);
    DMEURO->setObjectName(QStringLiteral("DMEURO"));
    DMEURO->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    DMEURO->setFont(CalculatorFonts::sans(8));
    DMEURO->setIndent(2);
    paintOnFace(DMEURO);
    place(DMEURO, 2310, 2250, 1770, 300);
    connect(DMEURO, &ConversionLabel::clicked, this, &RechnerF::DMEURO_Click);
}

void RechnerF::buildDisplay() {
    Ausgabe = new QLabel(m_client);
    Ausgabe->setObjectName(QStringLiteral("Ausgabe"));
    Ausgabe->setFont(CalculatorFonts::sans(13.5, true));
    // The text comes padded to 25 characters; flush right keeps the last digit in place even
    // though a blank is narrower than a digit.
    Ausgabe->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Ausgabe->setIndent(4);
    paintOpaque(Ausgabe, Qt::black, Qt::red);
    Ausgabe->setAccessibleDescription(QStringLiteral("Anzeige"));
    place(Ausgabe, 90, 2700, 4000, 465);
}

// The key buttons, each passing its key text to the engine when clicked.
void RechnerF::buildKeys() {
    struct Key {
        QList<CaptionButton*> RechnerF::*array;
        const char* name;
        int index;
        const char* caption; // UTF-8
        const char* spoken;  // what a screen reader says: the caption without blanks and "&",
                             // the symbols as words
        char keyText;
        int left, top, width;
    };
    // In the order the focus moves through them with Tab.
    static const Key keys[] = {
        {&RechnerF::Taste, "Taste", 7, " 7 ", "7", '7', 90, 3330, 500},
        {&RechnerF::Taste, "Taste", 8, " 8 ", "8", '8', 680, 3330, 500},
        {&RechnerF::Taste, "Taste", 9, " 9 ", "9", '9', 1270, 3330, 500},
        {&RechnerF::Taste, "Taste", 4, " 4 ", "4", '4', 90, 3915, 500},
        {&RechnerF::Taste, "Taste", 5, " 5 ", "5", '5', 680, 3915, 500},
        {&RechnerF::Taste, "Taste", 6, " 6 ", "6", '6', 1270, 3915, 500},
        {&RechnerF::Taste, "Taste", 1, " 1 ", "1", '1', 90, 4500, 500},
        {&RechnerF::Taste, "Taste", 2, " 2 ", "2", '2', 680, 4500, 500},
        {&RechnerF::Taste, "Taste", 3, " 3 ", "3", '3', 1270, 4500, 500},
        {&RechnerF::Operator, "Operator", 0, " ÷ ", "geteilt durch", '/', 1860, 3330, 500},
        {&RechnerF::C_Taste, "C_Taste", 0, " &C ", "C", 'C', 2450, 3330, 630},
        {&RechnerF::Operator, "Operator", 1, " x ", "mal", '*', 1860, 3915, 500},
        {&RechnerF::C_Taste, "C_Taste", 1, "C&E", "CE", 'E', 2450, 3915, 630},
        {&RechnerF::Operator, "Operator", 2, " - ", "minus", '-', 1860, 4500, 500},
        {&RechnerF::Taste, "Taste", 0, " 0 ", "0", '0', 90, 5090, 500},
        {&RechnerF::Taste, "Taste", 10, " , ", "Komma", '.', 680, 5085, 500},
        {&RechnerF::Operator, "Operator", 4, " % ", "Prozent", '%', 1270, 5085, 500},
        {&RechnerF::Operator, "Operator", 3, " + ", "plus", '+', 1860, 5085, 500},
        {&RechnerF::Operator, "Operator", 5, " = ", "gleich", '=', 2450, 5085, 630},
    };
    Taste.resize(11);
    Operator.resize(6);
    C_Taste.resize(2);
    for (const Key& k : keys) {
        auto* b = new CaptionButton(QString::fromUtf8(k.caption), m_client);
        setArrayElement(b, QString::fromLatin1(k.name), k.index);
        b->setFont(CalculatorFonts::sans(13.5, true));
        b->setAccessibleName(QString::fromUtf8(k.spoken));
        place(b, k.left, k.top, k.width, 500);
        const QString keyText(QLatin1Char(k.keyText));
        connect(b, &QPushButton::clicked, this, [this, keyText] { Taste_Click(keyText); });
        (this->*k.array)[k.index] = b;
    }
}

// The conversion buttons and the two end buttons on the right.
void RechnerF::buildSideButtons() {
    struct Side {
        QList<CaptionButton*> RechnerF::*array;
        const char* name;
        const char* caption; // UTF-8
        int top, height;
    };
    static const Side buttons[] = {
        {&RechnerF::DM_Euro, "DM_Euro", "&DM", 3330, 240},
        {&RechnerF::DM_Euro, "DM_Euro", "E&uro", 3580, 240},
        {&RechnerF::DM_Euro, "DM_Euro", "&Switch", 3840, 240},
        {&RechnerF::EndeButton, "EndeButton", "Ende &ohne Übernahme", 4500, 500},
        {&RechnerF::EndeButton, "EndeButton", "Ende &mit Übernahme", 5085, 500},
    };
    for (const Side& s : buttons) {
        QList<CaptionButton*>& array = this->*s.array;
        auto* b = new CaptionButton(QString::fromUtf8(s.caption), m_client);
        setArrayElement(b, QString::fromLatin1(s.name), int(array.size()));
        b->setFont(CalculatorFonts::sans(8));
        place(b, 3150, s.top, 960, s.height);
        array.append(b);
    }
    connect(DM_Euro[0], &QPushButton::clicked, this, [this] { engine().convertToDm(); });
    connect(DM_Euro[1], &QPushButton::clicked, this, [this] { engine().convertToEuro(); });
    connect(DM_Euro[2], &QPushButton::clicked, this, [this] { engine().switchConversion(); });
    connect(EndeButton[0], &QPushButton::clicked, this, [this] { end(false); });
    connect(EndeButton[1], &QPushButton::clicked, this, [this] { end(true); });
    // Alt+D belongs to the menu "&Drucken": in a classic window the menu bar comes first. The DM
    // button keeps its underlined letter and is reached by mouse, Tab and Space.
    DM_Euro[0]->setShortcut(QKeySequence());
    DM_Euro[2]->setToolTip(QStringLiteral("vertauscht die Zahlen in beiden Zahlenfeldern"));
    DM_Euro[2]->setEnabled(false);
}
