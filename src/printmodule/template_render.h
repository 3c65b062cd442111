#pragma once

#include "report_data.h"

#include <QList>
#include <QString>

namespace tarvela::prm1 {

// Reads a template file: UTF-8 (with or without a byte order mark), or Windows-1250 when the
// bytes are not valid UTF-8. Raises ReportError (PRM1_ERROR_TEMPLATE_UNREADABLE).
QString ReadTemplateFile(const QString& path);

// Expands a mustache template into HTML. Besides the variables (HTML-escaped by {{Name}}) the
// template sees the helpers described in docs/templates.md: Ano.X, Vyplneno.X, Nenulove.X,
// Radky (each row's columns, Poradi, Sudy, Prazdny), NeprazdneRadky, Soucty.X, PocetRadku,
// MaRadky and the section SoucetKde. Raises ReportError (PRM1_ERROR_TEMPLATE_INVALID) for a
// template error, and for a template beyond the bounds of one rendering (sections nested
// deeper than 64 levels, row sections nested into more than two million parts, more than 32 MB
// of HTML or more than ten seconds), naming templateName.
QString RenderTemplate(const QString& templateText, const QList<Variable>& variables,
                       const ReportTable& table, const QString& templateName = QString());

} // namespace tarvela::prm1
