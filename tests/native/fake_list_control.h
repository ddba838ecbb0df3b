// A list control in memory that behaves like the Win32 report list where the
// view relies on it, and flags any call with a row that does not exist.
#pragma once

#include "targets/target_list.h"
#include "targets/text_codec.h"
#include "ui/list_control.h"

#include <string>
#include <vector>

namespace kivrel {

class FakeListControl : public ListControl {
public:
    int RowCount() const override;
    int SelectedCount() const override;
    bool IsRowSelected(int row) const override;
    int InsertTextRow(int row, const std::string& text) override;
    void SetItemText(int row, int column, const std::string& text) override;
    void DeleteRow(int row) override;
    void DeleteAllRows() override;
    void SetRowState(int row, unsigned state, unsigned mask) override;
    void EnsureVisible(int row) override;
    void SetRedraw(bool on) override { redraw = on; }

    // What the user does with mouse and keyboard: exactly these rows selected,
    // the focus on the last of them.
    void Select(const std::vector<int>& rows);

    std::string Text(int row, int column) const;
    bool IsRowFocused(int row) const;
    std::vector<int> SelectedRows() const;
    int visibleRow() const { return m_visibleRow; }
    bool redraw = true;

    // Empty when the rows show exactly the list (row i is entry i, name and
    // MAC text), otherwise the first difference.
    std::string Mismatch(const TargetList& list) const;

private:
    struct Row {
        std::string texts[2];
        unsigned state = 0;
    };

    bool Exists(int row) const;

    std::vector<Row> m_rows;
    int m_visibleRow = -1;
};

// A code page of one byte a character, Latin-1, so that some names fit and
// others do not.
class Latin1Codec final : public TextCodec {
public:
    std::string AnsiToUtf8(const std::string& ansi) const override;
    bool Utf8ToAnsi(const std::string& utf8, std::string& ansi) const override;
};

} // namespace kivrel
