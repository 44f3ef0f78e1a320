#include "Hilfe_Form.h"

#include "clsResize.h"
#include "kern.h"
#include "twips.h"
#include "windowplacement.h"

#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QShowEvent>

namespace {

// Design client area and the window's outer size and place at the factors 1, in twips.
constexpr double DesignClientWidth = 5910;
constexpr double DesignClientHeight = 5205;
constexpr double BaseWidth = 6000;
constexpr double BaseHeight = 5625;
constexpr double BaseLeft = 4005;
constexpr double BaseTop = 1605;

const char* const Paragraphs[] = {
    "Dieses Programm dient zur Ermittlung von Gleisarten verschiedenster Länge um eine "
    "vorgegebene Strecke zu erreichen.",
    "Zur Vereinfachung können die Gleisarten und -größen für verschiedene Hersteller in Dateien "
    "abgelegt und somit geladen und gespeichert werden.",
    "Mit Hilfe der Häkchen (Checkbox) können die Gleise gewählt werden, die zur Berechnung "
    "herangezogen werden.",
    "Über die Felder 'Anzahl Min. / Max.' kann angegeben werden, ob bestimmte Gleise mit einer "
    "vorgegeben Stückzahl berücksichtigt werden sollen.",
    "Wenn sie zu den einzelnen Gleisen Ihre Preise angeben, werden die Gesamtpreise der "
    "einzelnen Kombinationen dargestellt.",
    "Die Felder 'Max. Abweichungen' dienen zur Angabe, um wieviel mm die gewünschte "
    "Streckenlänge höchstens unter- oder überschritten werden darf.",
    "Ein Mausklick in den einzelnen Spaltenköpfen der Tabelle sortiert die einzelnen Zeilen "
    "entsprechend der gewählten Spalte; ein wiederholter Mausklick kehr die Sortierung um "
    "(auf-/absteigend wechselnd).",
    "In Abhängigkeit von der gewünschten Sortierung können die Kombinationen "
    "selbstverständlich auch ausgedruckt werden, wobei hier eine Druckvorschau voreingestellt "
    "ist.",
    "Gleissysteme: Über „Datei“ > „Gleissystem“ übernehmen Sie die geraden Gleise eines "
    "gängigen Gleissystems (nach Spurweite H0, N, TT, Z und G geordnet) in die Gleis-Tabelle, "
    "ohne Artikelnummern und Längen abzutippen. Die Längen sind Nennmaße der Hersteller; die "
    "Preise stehen auf 0,00 und können durch Ihre eigenen ersetzt werden. Speichern Sie die "
    "Tabelle danach mit „Gleiswahl speichern“ unter einem eigenen Namen.",
    "Und nun viel Spaß beim Rechnen.",
};

using Twips::place;

} // namespace

Hilfe_Form::Hilfe_Form(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("Hilfe_Form"));
    setWindowTitle(QStringLiteral("Hilfe zum Schotterfix"));
    setModal(true);
    // Fixed for the user; the presets give it other fixed sizes.
    setFixedSize(Twips::toPx(DesignClientWidth, this), Twips::toPx(DesignClientHeight, this));

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    place(Frame1, 30, 30, 5835, 4755);

    Text1 = new QPlainTextEdit(Frame1);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setAccessibleName(QStringLiteral("Hilfetext"));
    Text1->setReadOnly(true);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    place(Text1, 120, 210, 5595, 4425);

    cmdOK = new QPushButton(QStringLiteral("&schließen"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    place(cmdOK, 4590, 4830, 1275, 345);
    connect(cmdOK, &QPushButton::clicked, this, &Hilfe_Form::cmdOK_Click);

    Form_Load();
}

Hilfe_Form::~Hilfe_Form() = default;

void Hilfe_Form::showModal(const Kern::ScreenScale& screen, QWidget* parent) {
    static QPointer<Hilfe_Form> instance;
    if (!instance)
        instance = new Hilfe_Form(parent);
    else if (instance->parentWidget() != parent)
        instance->setParent(parent, instance->windowFlags());
    instance->m_screen = screen;
    instance->exec();
}

QString Hilfe_Form::helpText() {
    const QString crlf = QStringLiteral("\r\n");
    QString text = crlf;
    bool first = true;
    for (const char* paragraph : Paragraphs) {
        if (!first)
            text += crlf + crlf;
        text += QString::fromUtf8(paragraph);
        first = false;
    }
    return text;
}

void Hilfe_Form::Form_Load() {
    Text1->setPlainText(helpText());
}

void Hilfe_Form::Form_Activate() {
    // One engine for the window's life, capturing the design layout at the base outer size, so
    // that its factors are the preset's whatever frame the window system draws. An engine built
    // afresh at every opening would capture the layout the previous preset left behind, and the
    // fonts, which follow the smaller factor, would shrink with every switch between presets of
    // unequal factors. The outer size is known only once the window manager has framed the
    // window; until then the window is placed without scaling its controls.
    if (!m_resize && WindowPlacement::isFramed(this)) {
        Twips::setOuterSize(this, BaseWidth, BaseHeight);
        m_resize = std::make_unique<clsResize>();
        m_resize->oForm(this);
        m_resize->Initialize();
    }

    const Kern::ScreenScale scale = Kern::PresetScale(m_screen.preset, m_screen);
    Twips::setOuterWidth(this, BaseWidth * scale.x);
    Twips::setOuterHeight(this, BaseHeight * scale.y);
    Twips::setOuterPos(this, BaseLeft * scale.x, BaseTop * scale.y);
    if (m_resize)
        m_resize->DoResize();
}

void Hilfe_Form::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return; // the window system showing it again (after minimising elsewhere) moves nothing
    // Placed again when the window manager has framed it, which it does only after mapping.
    WindowPlacement::keep(this, [this] { Form_Activate(); });
}

void Hilfe_Form::cmdOK_Click() {
    hide();
}
