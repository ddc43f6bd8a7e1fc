// CPropertiesWindow: the "Properties" window. It shows the selected
// object's values laid out from its kind's description, one row each: the
// object it hangs from as a list ("(none)", then every object that is not
// it nor below it, by name), the material as a list, the flags as check boxes, the textures' and
// the mesh's file names (a "..." beside each texture chooses a new one), then the kind's own values
// by their shapes: numbers and whole numbers in edit boxes, switches as check boxes, choices as
// lists and colours as a red, a green and a blue box with a swatch. Rows that do not fit scroll.
//
// It follows the document within a frame (selection, undo, loads, the other
// windows) and writes back only what the user changed: a check or a list is
// one undo step, a typed number applies on Return or when its box loses the
// focus, and is refused with a message when it is no number or out of the
// value's range.
//
// With several objects selected the caption says how many; the rows are
// the current object's when all are of its kind, else the rows every kind
// has: the parent, and material, flags and textures when all have a
// surface. A value they differ in shows empty, and an edit reaches every one
// of them as one step (a parent: each object nothing selected carries, but
// for one it would hang below itself; a texture: each with a surface).
#ifndef TOLVANE_PROPERTIESWINDOW_H
#define TOLVANE_PROPERTIESWINDOW_H

#include <irrlicht.h>

#include <functional>
#include <string>
#include <vector>

using namespace irr;

class CSceneEditor;
struct SModelState;
struct SObjectKind;

class CPropertiesWindow
{
public:
	explicit CPropertiesWindow(CSceneEditor& editor) : Editor(editor) {}

	//! Builds the window, hidden, saying that no object is selected.
	void Create();
	void Show();
	//! Lays out the selected object's rows when the selection or its kind
	//! changed, and shows the document's values in every control the user
	//! is not typing in.
	void Update();
	//! Its controls' changes, its scroll bar and its close button.
	bool OnGuiEvent(const SEvent::SGUIEvent& event);
	//! The wheel over the window scrolls its rows; false elsewhere.
	bool OnMouse(const SEvent::SMouseInput& mouse);

	//! "..." of a texture layer (0 or 1): the layer a chosen file goes into.
	void ChooseTextureLayer(u32 layer) { TextureLayer = layer; }
	//! The chosen file into that layer of the objects shown that have a
	//! surface, as one step; false when none is shown or the file cannot be
	//! loaded (each said in a message).
	bool LoadTexture(const char* filename);

	//! The rows laid out (all of them, scrolled into view or not).
	u32 RowCount() const { return static_cast<u32>(Rows.size()); }
	//! The rows that fit the window at once.
	u32 VisibleRows() const;

	//! Pixels from one row to the next.
	static const s32 ROW_HEIGHT = 24;

	gui::IGUIWindow* Window = 0;
	//! The object's kind and slot ("Particle system in slot 2"), or "No
	//! object selected".
	gui::IGUIStaticText* Caption = 0;
	gui::IGUIScrollBar* RowsBar = 0;

private:
	//! What a control shows: a shared property, a value of the kind (Index)
	//! or a colour's swatch (Index: its red value).
	enum ERole
	{
		ROLE_PARENT,
		ROLE_MATERIAL,
		ROLE_FLAG,    //!< Index: 0 shadow, 1 fog, 2 lighting, 3 wireframe
		ROLE_TEXTURE, //!< Index: the layer
		ROLE_MESH,
		ROLE_NUMBER,
		ROLE_WHOLE,
		ROLE_CHECK,
		ROLE_CHOICE,
		ROLE_SWATCH
	};
	struct SControl
	{
		gui::IGUIElement* Element;
		ERole Role;
		u32 Index;
		//! What messages call the value.
		std::wstring Label;
		//! What an edit box was last given: a box that differs was typed in.
		core::stringw Shown;
	};
	//! A row's elements, each with its place relative to the row's top.
	struct SRow
	{
		std::vector<std::pair<gui::IGUIElement*, core::rect<s32>>> Parts;
	};

	//! The rows of an object of a kind; none for no object.
	void LayOut(const SModelState* record, const SObjectKind* kind, bool surface, bool shadow);
	void RemoveRows();
	SRow& AddRow(const wchar_t* label);
	void AddPart(SRow& row, gui::IGUIElement* element, const core::rect<s32>& place, ERole role,
	             u32 index, const std::wstring& label);
	void AddValueRows(const SObjectKind& kind);
	//! Places the rows scrolled into view and hides the others.
	void PlaceRows();
	void ShowValues(const SModelState& record, bool retype);
	void ShowCaption(int slot, const SObjectKind* kind);

	SControl* ControlOf(const gui::IGUIElement* element);
	//! A typed number reaches the object, or is refused with a message.
	void Apply(SControl& control);
	//! A change of the object shown, as a command; `ownStep`: an undo step
	//! of its own (a check, a list), else part of the typing going on.
	bool Change(std::function<void(SModelState&)> edit, bool ownStep);
	//! The value `i` a record holds for the kind laid out.
	f32 ValueOf(const SModelState& record, u32 i) const;

	CSceneEditor& Editor;
	std::vector<SRow> Rows;
	std::vector<SControl> Controls;
	//! What the rows were laid out for: the slot (-1: none), its kind, and
	//! whether a shadow row is there.
	int LaidSlot = -1;
	const SObjectKind* LaidKind = 0;
	bool LaidSurface = false;
	bool LaidShadow = false;
	bool LaidMesh = false;
	//! Several selected: their slots (the current one among them), and
	//! whether they are of one kind, so that the kind's values are shown.
	std::vector<int> LaidSlots;
	bool ValuesShared = true;
	//! The parent list's entries: "(none)", then the objects the one shown
	//! can hang from, by name; their slots beside them (-1: none).
	void FillParents(gui::IGUIComboBox* list);
	std::vector<int> ParentChoices;
	//! The objects laid out hang from the chosen entry, as one step.
	bool ChooseParent(s32 entry);
	//! What a control shows of a record, to tell whether the selected
	//! objects share it.
	std::wstring ShownText(const SModelState& record, const SControl& control) const;
	//! Whether every object laid out shows the same in a control.
	bool Shared(const SModelState& record, const SControl& control) const;
	//! A control that the selected objects differ in shows nothing.
	void ShowEmpty(SControl& control);
	unsigned long long ShownVersion = 0;
	//! A refusal waiting for the next frame: a box losing the focus must not
	//! open a message box while the focus moves.
	std::wstring PendingMessage;
	u32 TextureLayer = 0;
};

#endif
