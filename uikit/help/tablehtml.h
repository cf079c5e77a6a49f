// A table widget's contents as the text of an HTML table.
#pragma once

#include "foundation/tsuikitglobal.h"

class QTableWidget;

/**
 * The contents of @p table as an HTML table: "<table border = 1>", a row of the horizontal header
 * texts, then one row per table row, with no line breaks. Columns hidden in the view are left out
 * unless @p includeHidden. Rows carry bgcolor='#FFFFFF', odd rows bgcolor='#FFFFEF' when the table
 * alternates its row colours; a cell with a background colour carries it as bgcolor='#rrggbb'.
 * Texts are copied as they are, not escaped: a cell text may carry markup of its own, and a text
 * that must read literally has to be escaped by the caller.
 */
TSUIKIT_EXPORT WString TableToHtmlTable(QTableWidget *table, bool includeHidden);
