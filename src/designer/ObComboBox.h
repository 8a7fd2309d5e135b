#pragma once
// TObComboBox: the drop-down of a D row of the property panel, shown over the row's value cell
// while the user chooses. It lives until it loses focus or another value cell is clicked.
#include <QComboBox>
#include <functional>

class TObPanel;

class TObComboBox : public QComboBox {
    Q_OBJECT
public:
    // Creates the drop-down of row on the row's sheet. totalWidth and valueWidth are the
    // designer's metrics: the open list widens to the whole property area.
    TObComboBox(TObPanel* row, QWidget* sheet, int totalWidth, int valueWidth);
    ~TObComboBox() override;

    TObPanel* Row = nullptr;
    bool Active = false;      // it has had the focus
    bool Sorted = false;      // items are inserted in alphabetical order (case-insensitive)
    int TotalWidth = 188, ValueWidth = 94;

    // An item with the object it carries (a data source, a field, a picture entry), or none.
    void AddItem(const QString& text, void* object = nullptr);
    void* ItemObject(int index) const;
    template <class T> T* ItemAs(int index) const { return static_cast<T*>(ItemObject(index)); }
    // The items of the line-type row: empty items drawn as line samples with their captions.
    void SetLineTypeItems(const QStringList& captions);

    // The user chose an item (also the one already shown).
    std::function<void(TObComboBox*)> OnChange;
    // The drop-down lost the focus.
    std::function<void(TObComboBox*)> OnExit;

    void showPopup() override;

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void Chosen(int index);
    QRect valueCell_;
};
