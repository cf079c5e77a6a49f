// The pictures of the help viewer's contents: books (closed and open) and pages, drawn once and
// shared by every item that shows them.
#pragma once

class QIcon;

namespace tshelp {

// A closed book: an entry of the contents that holds others, folded.
const QIcon &ClosedBookIcon();
// An open book: such an entry unfolded.
const QIcon &OpenBookIcon();
// A page: an entry of the contents without entries under it.
const QIcon &PageIcon();

} // namespace tshelp
