#pragma once

#include <QHash>
#include <QString>

// Fills the placeholders of a statement template in one pass over the template, so that a value
// holding placeholder text is never filled again. A placeholder written between single quotes
// ('{store}') is replaced together with its quotes by the quoted value (QuotedStr); a bare one
// ({total}) takes the value as given, which callers make with SqlNumber. Every placeholder of
// the template must have a value.
QString FillStatement(const QString& statementTemplate, const QHash<QString, QString>& values);
