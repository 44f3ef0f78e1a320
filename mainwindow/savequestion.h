#pragma once

class QWidget;

// The question before a changed track table would be lost (closing the window, loading a file,
// choosing a track system).
namespace SaveQuestion {

enum class Answer { Save, Discard, Cancel };

// Asks, modally over parent and under parent's caption, whether the changes are to be saved:
// "&Ja", "&Nein" or "Abbrechen" (also Esc and the close box).
Answer ask(QWidget* parent);

} // namespace SaveQuestion
