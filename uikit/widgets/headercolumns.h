// Column widths of lists: kept as a short text and restored, and default widths that fit the texts.
#pragma once

#include "foundation/tsuikitglobal.h"

class QHeaderView;
class QTableWidget;
class QTreeWidget;

/**
 * The widths of the header's sections in logical order, each as a decimal number followed by ";"
 * (three sections 120, 80 and 200 pixels wide give "120;80;200;"). Hidden sections count with the
 * width the header reports for them (0); the visual order of the sections is not recorded.
 *
 * @return the text, or an empty text for a null @p header
 */
TSUIKIT_EXPORT WString GetHeaderColumnsSize(QHeaderView *header);

/**
 * Applies a text written by GetHeaderColumnsSize(): the n-th number becomes the width of section
 * n. Runs of semicolons count as one separator and empty tokens are skipped (";;50;;60" sets
 * sections 0 and 1); numbers beyond the last section are ignored, and sections beyond the last
 * number keep their width. A token is read like _wtoi (leading blanks, a sign, the leading digits;
 * no digits gives 0); a negative width counts as 0 and a width beyond what a section can take
 * (QHeaderView::maximumSectionSize()) is cut to it. A null @p header or an empty text changes
 * nothing.
 *
 * @throws tsweb::CException<void*> made from E_OUTOFMEMORY when the working copy of the text cannot
 *         be allocated
 */
TSUIKIT_EXPORT void SetHeaderColumnsSize(WString text, QHeaderView *header);

/**
 * Widens each column of @p tree to its header text plus 30 pixels where it is narrower, then, if the
 * columns together are narrower than the tree, spreads the spare width (less one pixel) evenly over
 * them. Columns never shrink. Does nothing for a null @p tree.
 */
TSUIKIT_EXPORT void SetHeaderColumnDefaultSize(QTreeWidget *tree);

/**
 * Widens columns 1 and up of @p table to the widest of their cell texts plus 30 pixels where they
 * are narrower. Column 0 and the header texts are left alone; columns never shrink. Does nothing for
 * a null @p table.
 */
TSUIKIT_EXPORT void SetHeaderColumnDefaultSize(QTableWidget *table);
