// Texts of Qt itself that the file dialogs show and Qt's own Chinese catalogue does not
// translate (it still has them under an older context). The program's Chinese catalogue
// supplies them; this file is read by the translation tools only and is not compiled.

QT_TRANSLATE_NOOP3("QAbstractFileIconProvider", "Folder", "All other platforms")
QT_TRANSLATE_NOOP3("QAbstractFileIconProvider", "Shortcut", "All other platforms")
QT_TRANSLATE_NOOP3("QAbstractFileIconProvider", "Drive", "")
QT_TRANSLATE_NOOP3("QAbstractFileIconProvider", "File", "")
QT_TRANSLATE_NOOP3("QAbstractFileIconProvider", "Unknown", "")
