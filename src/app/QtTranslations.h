#pragma once

// Qt's own texts in Japanese: the buttons of the message boxes ("はい(&Y)",
// "いいえ(&N)", "キャンセル"), the file and printer dialogs, and the context
// menu of the edit boxes. Qt ships them as qtbase_ja.qm (Debian:
// qt6-translations-l10n); without that file those texts stay in English and
// nothing else changes.

// Loads and installs them once; false when the file cannot be read.
bool InstallQtTranslations();
