#pragma once

#include <QStringList>

class QWidget;

// Copies `sources` into `folder` as long work behind the shared progress
// dialog over `owner`: which file of how many, and "キャンセル", which ends
// the copy before its next chunk; the files copied so far stay. Files of
// the same name there are replaced only when the user says so, asked once
// before the copy. The first failure ends the copy and its description is
// shown; sources that are not files are named afterwards; success and a
// cancel show nothing.
void CopyToFolder(QWidget* owner, const QStringList& sources, const QString& folder);
