#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// The small INI files the windows keep beside setting.dat (recent.ini,
// analysis.ini), in the form Qt's QSettings (IniFormat) reads and writes, so
// the files of earlier versions are read and the files written here read
// back in either. Each file holds one section.

// A section's keys and the texts of their values as they stand after '='.
using IniSection = QMap<QString, QString>;

// The section of the file at path, read whole from a regular file only: a
// FIFO or a device put there is no settings file, and reading it could block
// the window for ever. Empty when the file is missing, unreadable or has no
// such section.
IniSection ReadIniSection(const QString& path, const QString& section);

// Writes the file with that one section, whole or not at all
// (core/WholeFile.h); false when it failed. A link is written through, a FIFO
// or device is never replaced.
bool WriteIniSection(const QString& path, const QString& section, const IniSection& values);

// A value as QSettings stores a string list: items separated by commas, each
// unquoted (blanks around it dropped) or in double quotes, with backslash
// escapes (\" \\ \n \t \xHH \ooo ...); a ';' outside quotes ends the value;
// "@Invalid()" is the empty list and a leading "@@" one '@'. A text without
// a comma is a list of one item.
QStringList IniStringList(const QString& text);
// The text of a list: every item quoted and escaped, so commas, quotes,
// blanks, '@' and line breaks in file names survive; the empty list as
// "@Invalid()".
QString IniListText(const QStringList& items);

// A number (fallback when the text is none) and the shortest text that reads
// back to the same double.
double IniDouble(const QString& text, double fallback);
QString IniDoubleText(double value);

// A switch as QSettings reads one: false for "", "0" and "false" (any case),
// true for anything else; written "true" or "false".
bool IniBool(const QString& text);
QString IniBoolText(bool value);
