// The application's shared cursor table: 25 cursors, loaded once from
// resources/cursors (our own pictures, kept as text sources like the part
// pictures, and a few desktop cursors), used by the canvas by cursor code.
#pragma once

#include <QCursor>
#include <QStringList>

#include <array>

class CCursorTable {
public:
    static constexpr int kEntries = 25;

    // The program's table (loaded on first use).
    static const CCursorTable& Get();
    // Loads a table text (entry, cursor, hot spot; see table.txt) with the
    // pictures found under `folder` (":/cursors").
    CCursorTable(const QByteArray& table, const QString& folder);

    // The table entry of a cursor code: codes 1 to 18 give entries 24 down
    // to 7, 19 entry 2, 20 entry 1, 21 entry 3, 22 entry 6, 23 entry 5,
    // 24 entry 4, 25 entry 0; any other code the arrow (entry 24).
    static int EntryOfCode(int code);
    const QCursor& Entry(int index) const;
    const QCursor& ForCode(int code) const { return Entry(EntryOfCode(code)); }
    // Whether an entry shows one of our pictures (else a desktop cursor).
    bool IsPicture(int index) const;
    // Problems met while loading (empty when every entry is good).
    QStringList Errors() const { return m_errors; }

private:
    std::array<QCursor, kEntries> m_cursors;
    std::array<bool, kEntries> m_picture{};
    QStringList m_errors;
};
