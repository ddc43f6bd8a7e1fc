// The "Properties" window; see PropertiesWindow.h.
#include "PropertiesWindow.h"

#include <algorithm>
#include <cmath>
#include <cwctype>

#include "CSceneEditor.h"
#include "EditorIds.h"
#include "FileNames.h"
#include "ObjectKinds.h"
#include "SceneTree.h"
#include "TransformWindow.h"

namespace
{
typedef core::rect<s32> Rect;

// The columns: labels, then the controls, then the scroll bar.
const s32 LABEL_LEFT = 10, LABEL_RIGHT = 170;
const s32 CONTROL_LEFT = 175, CONTROL_RIGHT = 330;
const s32 BOX_WIDTH = 34, BOX_GAP = 4;
const s32 FIRST_ROW_TOP = 52;
const s32 WINDOW_WIDTH = 360, WINDOW_HEIGHT = 460;

const wchar_t* const FlagNames[4] = {L"Shadow", L"Fog", L"Lighting", L"Wireframe"};

bool& FlagOf(SModelState& record, u32 flag)
{
	bool* const flags[4] = {&record.Shadow, &record.Fog, &record.Lighting, &record.Wireframe};
	return *flags[flag];
}

bool FlagOf(const SModelState& record, u32 flag)
{
	return FlagOf(const_cast<SModelState&>(record), flag);
}

// A file's name without its folder: the row is narrow, the whole path is its
// tool tip.
std::wstring BareName(const std::string& path)
{
	return FileNameToWide(path.substr(path.rfind('/') + 1));
}

s32 ValueId(u32 i)
{
	const s32 id = ID_PROPERTIES_VALUES + static_cast<s32>(i);
	return id <= ID_PROPERTIES_VALUES_LAST ? id : ID_PLAIN;
}

// Lights and cameras have no surface: no material, flags or textures.
bool HasSurface(const scene::ISceneNode* node)
{
	return node && node->getMaterialCount() > 0;
}

SValueShape ShapeOf(const SObjectKind& kind, u32 i, std::wstring& label)
{
	if (kind.ValueShapes)
	{
		label = kind.ValueShapes[i].Label;
		return kind.ValueShapes[i];
	}
	label = FieldWords(kind.ValueNames[i]);
	return SValueShape{VALUE_NUMBER, 0, 0};
}
} // namespace

void CPropertiesWindow::Create()
{
	// Below "Scene Information", whose camera mode the handles need in view.
	Window = Editor.AddToolWindow(Rect(10, 130, 10 + WINDOW_WIDTH, 130 + WINDOW_HEIGHT),
	                              L"Properties", ID_PROPERTIES_WINDOW);
	// It stays open until its own close button is pressed.
	Window->getCloseButton()->setVisible(true);
	Caption =
	    Editor.AddLabel(L"No object selected", Rect(LABEL_LEFT, 26, CONTROL_RIGHT, 44), Window);
	Caption->setID(ID_PROPERTIES_CAPTION);
	RowsBar = Editor._gui->addScrollBar(
	    false, Rect(CONTROL_RIGHT + 5, FIRST_ROW_TOP, CONTROL_RIGHT + 21, WINDOW_HEIGHT - 8),
	    Window, ID_PROPERTIES_ROWS);
	RowsBar->setMax(0);
	RowsBar->setSmallStep(1);
	RowsBar->setLargeStep(static_cast<s32>(VisibleRows()));
	RowsBar->setVisible(false);
}

void CPropertiesWindow::Show()
{
	Window->setVisible(true);
	Editor._gui->getRootGUIElement()->bringToFront(Window);
	Update();
}

u32 CPropertiesWindow::VisibleRows() const
{
	return static_cast<u32>((WINDOW_HEIGHT - FIRST_ROW_TOP - 8) / ROW_HEIGHT);
}

void CPropertiesWindow::Update()
{
	if (!PendingMessage.empty())
	{
		const std::wstring text = PendingMessage;
		PendingMessage.clear();
		Editor.ShowMessage(L"Properties", text.c_str());
	}
	if (!Window || !Window->isVisible())
		return;
	const int slot = Editor.SlotOf(Editor.SelectedModel);
	const SModelState* record = slot >= 0 ? Editor.Document.Object(slot) : 0;
	const SObjectKind* kind = record ? KindOf(record->Type) : 0;
	if (!kind)
		record = 0;
	const bool mesh = record && !record->Mesh.empty();
	std::vector<int> slots = record ? Editor.SelectedSlots() : std::vector<int>();
	if (slots.size() < 2)
		slots.clear();
	// The rows of a surface when all have one; shadows are cast by
	// animated meshes only.
	bool surface = record && HasSurface(ObjectNode(Editor.SelectedModel));
	bool shadow = surface && Editor.SelectedModel->AnimatedNode;
	bool sameKind = true;
	for (int other : slots)
	{
		const CModel* object = Editor.ObjectAt(other);
		sameKind &= Editor.Document.Object(other)->Type == record->Type;
		surface &= HasSurface(ObjectNode(object));
		shadow &= object->AnimatedNode != 0;
	}
	shadow &= surface;
	const bool relaid = (record ? slot : -1) != LaidSlot || kind != LaidKind ||
	                    surface != LaidSurface || shadow != LaidShadow || mesh != LaidMesh ||
	                    slots != LaidSlots || sameKind != ValuesShared;
	if (relaid)
	{
		LaidSlots = slots;
		ValuesShared = sameKind;
		LayOut(record, kind, surface, shadow);
		LaidSlot = record ? slot : -1;
		ShowCaption(LaidSlot, kind);
	}
	else if (Editor.Document.Version == ShownVersion)
		return;
	ShownVersion = Editor.Document.Version;
	if (record)
		ShowValues(*record, relaid);
}

void CPropertiesWindow::ShowCaption(int slot, const SObjectKind* kind)
{
	if (!kind)
	{
		Caption->setText(L"No object selected");
		return;
	}
	if (!LaidSlots.empty())
	{
		Caption->setText((std::to_wstring(LaidSlots.size()) + L" objects selected").c_str());
		return;
	}
	std::wstring text = kind->Name;
	if (!text.empty())
		text[0] = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(text[0])));
	if (slot != WATER_SLOT)
		text += L" in slot " + std::to_wstring(slot);
	Caption->setText(text.c_str());
}

// ---------------------------------------------------------------------------
// Laying out the rows

void CPropertiesWindow::RemoveRows()
{
	// A box being left applies first, to the object it was typed for.
	gui::IGUIElement* focus = Editor._gui->getFocus();
	if (focus && ControlOf(focus))
		Editor._gui->removeFocus(focus);
	for (SRow& row : Rows)
		for (auto& part : row.Parts)
			part.first->remove();
	Rows.clear();
	Controls.clear();
}

CPropertiesWindow::SRow& CPropertiesWindow::AddRow(const wchar_t* label)
{
	Rows.emplace_back();
	SRow& row = Rows.back();
	if (label)
	{
		const Rect place(LABEL_LEFT, 3, LABEL_RIGHT, 18);
		row.Parts.push_back({Editor.AddLabel(label, place, Window, false), place});
	}
	return row;
}

void CPropertiesWindow::AddPart(SRow& row, gui::IGUIElement* element, const Rect& place, ERole role,
                                u32 index, const std::wstring& label)
{
	row.Parts.push_back({element, place});
	Controls.push_back(SControl{element, role, index, label, core::stringw()});
}

void CPropertiesWindow::LayOut(const SModelState* record, const SObjectKind* kind, bool surface,
                               bool shadow)
{
	RemoveRows();
	LaidKind = kind;
	LaidSurface = surface;
	LaidShadow = shadow;
	LaidMesh = record && !record->Mesh.empty();
	gui::IGUIEnvironment* gui = Editor._gui;
	const Rect control(CONTROL_LEFT, 0, CONTROL_RIGHT, 20);
	// The water hangs from nothing.
	if (record && Editor.SlotOf(Editor.SelectedModel) != WATER_SLOT)
		AddPart(AddRow(L"Parent"), gui->addComboBox(control, Window, ID_PROPERTIES_PARENT), control,
		        ROLE_PARENT, 0, L"Parent");
	if (record && surface)
	{
		SRow& material = AddRow(L"Material");
		AddPart(material, Editor.AddMaterialList(Window, ID_PROPERTIES_MATERIAL), control,
		        ROLE_MATERIAL, 0, L"Material");
		for (u32 flag = shadow ? 0 : 1; flag < 4; ++flag)
		{
			const Rect place(LABEL_LEFT, 2, CONTROL_RIGHT, 18);
			AddPart(AddRow(0),
			        gui->addCheckBox(false, place, Window, ID_PROPERTIES_SHADOW + flag,
			                         FlagNames[flag]),
			        place, ROLE_FLAG, flag, FlagNames[flag]);
		}
		const wchar_t* const layers[2] = {L"Texture", L"Second texture"};
		for (u32 layer = 0; layer < 2; ++layer)
		{
			SRow& row = AddRow(layers[layer]);
			const Rect name(CONTROL_LEFT, 0, CONTROL_RIGHT - 30, 20);
			AddPart(row, gui->addStaticText(L"", name, true, false, Window, ID_PLAIN), name,
			        ROLE_TEXTURE, layer, layers[layer]);
			const Rect browse(CONTROL_RIGHT - 26, 0, CONTROL_RIGHT, 20);
			row.Parts.push_back(
			    {gui->addButton(browse, Window, ID_PROPERTIES_TEXTURE_FIRST + layer, L"..."),
			     browse});
		}
		if (LaidMesh)
			AddPart(AddRow(L"Mesh"),
			        gui->addStaticText(L"", control, true, false, Window, ID_PLAIN), control,
			        ROLE_MESH, 0, L"Mesh");
	}
	if (record && ValuesShared)
		AddValueRows(*kind);
	const s32 hidden = static_cast<s32>(Rows.size()) - static_cast<s32>(VisibleRows());
	RowsBar->setMax(core::max_(hidden, 0));
	RowsBar->setPos(0);
	RowsBar->setVisible(hidden > 0);
	PlaceRows();
}

void CPropertiesWindow::AddValueRows(const SObjectKind& kind)
{
	gui::IGUIEnvironment* gui = Editor._gui;
	const Rect control(CONTROL_LEFT, 0, CONTROL_RIGHT, 20);
	for (u32 i = 0; i < kind.ValueCount; ++i)
	{
		std::wstring label;
		const SValueShape shape = ShapeOf(kind, i, label);
		switch (shape.Shape)
		{
		case VALUE_NUMBER:
		case VALUE_WHOLE:
			AddPart(AddRow(label.c_str()), gui->addEditBox(L"", control, true, Window, ValueId(i)),
			        control, shape.Shape == VALUE_WHOLE ? ROLE_WHOLE : ROLE_NUMBER, i, label);
			break;
		case VALUE_CHECK:
		{
			const Rect place(LABEL_LEFT, 2, CONTROL_RIGHT, 18);
			AddPart(AddRow(0), gui->addCheckBox(false, place, Window, ValueId(i), label.c_str()),
			        place, ROLE_CHECK, i, label);
			break;
		}
		case VALUE_CHOICE:
		{
			gui::IGUIComboBox* list = gui->addComboBox(control, Window, ValueId(i));
			for (const wchar_t* const* choice = shape.Choices; choice && *choice; ++choice)
				list->addItem(*choice);
			AddPart(AddRow(label.c_str()), list, control, ROLE_CHOICE, i, label);
			break;
		}
		case VALUE_COLOUR:
		{
			// Red, green and blue boxes, then a swatch of the colour.
			SRow& row = AddRow(label.c_str());
			const wchar_t* const channels[3] = {L"red", L"green", L"blue"};
			for (u32 c = 0; c < 3 && i + c < kind.ValueCount; ++c)
			{
				const s32 left = CONTROL_LEFT + static_cast<s32>(c) * (BOX_WIDTH + BOX_GAP);
				const Rect box(left, 0, left + BOX_WIDTH, 20);
				AddPart(row, gui->addEditBox(L"", box, true, Window, ValueId(i + c)), box,
				        ROLE_WHOLE, i + c, label + L" " + channels[c]);
			}
			const Rect swatch(CONTROL_LEFT + 3 * (BOX_WIDTH + BOX_GAP), 0, CONTROL_RIGHT, 20);
			AddPart(row, gui->addStaticText(L"", swatch, true, false, Window, ID_PLAIN), swatch,
			        ROLE_SWATCH, i, label);
			i += 2;
			break;
		}
		}
	}
}

void CPropertiesWindow::PlaceRows()
{
	const u32 first = static_cast<u32>(core::max_(RowsBar->getPos(), 0));
	for (u32 r = 0; r < Rows.size(); ++r)
	{
		const bool shown = r >= first && r < first + VisibleRows();
		const s32 top = FIRST_ROW_TOP + static_cast<s32>(r - (shown ? first : 0)) * ROW_HEIGHT;
		for (auto& part : Rows[r].Parts)
		{
			Rect place = part.second;
			place += core::position2di(0, top);
			part.first->setRelativePosition(place);
			part.first->setVisible(shown);
		}
	}
}

// ---------------------------------------------------------------------------
// Showing the document's values

f32 CPropertiesWindow::ValueOf(const SModelState& record, u32 i) const
{
	return i < record.Values.size() ? record.Values[i] : LaidKind->DefaultValues[i];
}

void CPropertiesWindow::ShowValues(const SModelState& record, bool retype)
{
	for (SControl& control : Controls)
	{
		gui::IGUIElement* element = control.Element;
		// The objects to choose from change with the scene.
		if (control.Role == ROLE_PARENT)
			FillParents(static_cast<gui::IGUIComboBox*>(element));
		if (!Shared(record, control))
		{
			ShowEmpty(control);
			continue;
		}
		switch (control.Role)
		{
		case ROLE_PARENT:
		{
			const auto entry = std::find(ParentChoices.begin(), ParentChoices.end(), record.Parent);
			static_cast<gui::IGUIComboBox*>(element)->setSelected(
			    entry == ParentChoices.end() ? -1
			                                 : static_cast<s32>(entry - ParentChoices.begin()));
			break;
		}
		case ROLE_MATERIAL:
			static_cast<gui::IGUIComboBox*>(element)->setSelected(record.Material);
			break;
		case ROLE_FLAG:
			static_cast<gui::IGUICheckBox*>(element)->setChecked(FlagOf(record, control.Index));
			break;
		case ROLE_TEXTURE:
		case ROLE_MESH:
		{
			const std::string path = control.Role == ROLE_MESH
			                             ? record.Mesh
			                             : SharedName(record.Textures[control.Index]);
			element->setText(BareName(path).c_str());
			element->setToolTipText(FileNameToWide(path).c_str());
			break;
		}
		case ROLE_NUMBER:
		case ROLE_WHOLE:
		{
			const core::stringw text = ShownNumber(ValueOf(record, control.Index));
			// A box the user typed in keeps the text until it is applied.
			if (retype || control.Shown == element->getText())
				element->setText(text.c_str());
			control.Shown = text;
			break;
		}
		case ROLE_CHECK:
			static_cast<gui::IGUICheckBox*>(element)->setChecked(ValueOf(record, control.Index) !=
			                                                     0);
			break;
		case ROLE_CHOICE:
			static_cast<gui::IGUIComboBox*>(element)->setSelected(
			    static_cast<s32>(ValueOf(record, control.Index)));
			break;
		case ROLE_SWATCH:
		{
			const auto channel = [&](u32 c)
			{
				const f32 v = ValueOf(record, control.Index + c);
				return static_cast<u32>(core::clamp(std::isnan(v) ? 0.0f : v, 0.0f, 255.0f));
			};
			gui::IGUIStaticText* swatch = static_cast<gui::IGUIStaticText*>(element);
			swatch->setBackgroundColor(video::SColor(255, channel(0), channel(1), channel(2)));
			swatch->setDrawBackground(true);
			break;
		}
		}
	}
}

std::wstring CPropertiesWindow::ShownText(const SModelState& record, const SControl& control) const
{
	switch (control.Role)
	{
	case ROLE_PARENT: return std::to_wstring(record.Parent);
	case ROLE_MATERIAL: return std::to_wstring(record.Material);
	case ROLE_FLAG: return FlagOf(record, control.Index) ? L"1" : L"0";
	case ROLE_TEXTURE: return FileNameToWide(SharedName(record.Textures[control.Index]));
	case ROLE_MESH: return FileNameToWide(record.Mesh);
	case ROLE_SWATCH:
		return std::wstring(ShownNumber(ValueOf(record, control.Index)).c_str()) + L" " +
		       ShownNumber(ValueOf(record, control.Index + 1)).c_str() + L" " +
		       ShownNumber(ValueOf(record, control.Index + 2)).c_str();
	default: return ShownNumber(ValueOf(record, control.Index)).c_str();
	}
}

bool CPropertiesWindow::Shared(const SModelState& record, const SControl& control) const
{
	const std::wstring shown = ShownText(record, control);
	for (int slot : LaidSlots)
		if (const SModelState* other = Editor.Document.Object(slot);
		    other && ShownText(*other, control) != shown)
			return false;
	return true;
}

void CPropertiesWindow::ShowEmpty(SControl& control)
{
	gui::IGUIElement* element = control.Element;
	switch (control.Role)
	{
	case ROLE_PARENT:
	case ROLE_MATERIAL:
	case ROLE_CHOICE: static_cast<gui::IGUIComboBox*>(element)->setSelected(-1); break;
	case ROLE_FLAG:
	case ROLE_CHECK: static_cast<gui::IGUICheckBox*>(element)->setChecked(false); break;
	case ROLE_SWATCH: static_cast<gui::IGUIStaticText*>(element)->setDrawBackground(false); break;
	case ROLE_NUMBER:
	case ROLE_WHOLE:
		// A box the user typed in keeps the text until it is applied.
		if (control.Shown == element->getText())
			element->setText(L"");
		control.Shown = L"";
		break;
	default:
		element->setText(L"");
		element->setToolTipText(L"");
		break;
	}
}

// ---------------------------------------------------------------------------
// The user's changes

CPropertiesWindow::SControl* CPropertiesWindow::ControlOf(const gui::IGUIElement* element)
{
	for (SControl& control : Controls)
		if (element && control.Element == element)
			return &control;
	return 0;
}

bool CPropertiesWindow::OnGuiEvent(const SEvent::SGUIEvent& event)
{
	if (event.EventType == gui::EGET_ELEMENT_CLOSED && event.Caller == Window)
	{
		Window->setVisible(false);
		return true;
	}
	if (event.EventType == gui::EGET_SCROLL_BAR_CHANGED && event.Caller == RowsBar)
	{
		PlaceRows();
		return true;
	}
	SControl* control = ControlOf(event.Caller);
	if (!control)
		return false;
	const u32 index = control->Index;
	switch (event.EventType)
	{
	case gui::EGET_EDITBOX_ENTER:
		Apply(*control);
		// The keys go back to the scene; leaving the box ends the typed step.
		Editor._gui->removeFocus(event.Caller);
		return true;
	case gui::EGET_ELEMENT_FOCUS_LOST:
		// The focus moves on all the same, and the typed step ends.
		if (control->Role == ROLE_NUMBER || control->Role == ROLE_WHOLE)
			Apply(*control);
		return false;
	case gui::EGET_CHECKBOX_CHANGED:
	{
		const bool on = static_cast<gui::IGUICheckBox*>(event.Caller)->isChecked();
		if (control->Role == ROLE_FLAG)
			Change([=](SModelState& record) { FlagOf(record, index) = on; }, true);
		else
			Change([=](SModelState& record) { record.Values[index] = on ? 1.0f : 0.0f; }, true);
		return true;
	}
	case gui::EGET_COMBO_BOX_CHANGED:
	{
		const s32 chosen = static_cast<gui::IGUIComboBox*>(event.Caller)->getSelected();
		if (control->Role == ROLE_PARENT)
			ChooseParent(chosen);
		else if (control->Role == ROLE_MATERIAL)
			Change([=](SModelState& record) { record.Material = chosen; }, true);
		else
			Change([=](SModelState& record) { record.Values[index] = static_cast<f32>(chosen); },
			       true);
		return true;
	}
	default: return false;
	}
}

bool CPropertiesWindow::OnMouse(const SEvent::SMouseInput& mouse)
{
	if (mouse.Event != EMIE_MOUSE_WHEEL || !Window->isVisible() || !RowsBar->isVisible())
		return false;
	gui::IGUIElement* hit =
	    Editor._gui->getRootGUIElement()->getElementFromPoint(core::position2di(mouse.X, mouse.Y));
	// An open list of a combo box takes the wheel itself.
	if (!hit || hit->getType() == gui::EGUIET_LIST_BOX)
		return false;
	while (hit && hit != Window)
		hit = hit->getParent();
	if (!hit)
		return false;
	RowsBar->setPos(RowsBar->getPos() - static_cast<s32>(mouse.Wheel));
	PlaceRows();
	return true;
}

void CPropertiesWindow::Apply(SControl& control)
{
	gui::IGUIElement* box = control.Element;
	if (control.Role != ROLE_NUMBER && control.Role != ROLE_WHOLE)
		return;
	const core::stringw typed = box->getText();
	if (control.Shown == typed)
		return;
	const u32 i = control.Index;
	const f32 least = LaidKind->LeastValues[i], most = LaidKind->MostValues[i];
	const bool whole = control.Role == ROLE_WHOLE;
	const std::wstring takes = control.Label + L" takes " + (whole ? L"a whole" : L"a") +
	                           L" number from " + ShownNumber(least).c_str() + L" to " +
	                           ShownNumber(most).c_str();
	f32 value = 0.0f;
	box->setText(control.Shown.c_str());
	if (!ParseTypedNumber(typed.c_str(), value))
		PendingMessage = L"\"" + std::wstring(typed.c_str()) + L"\" is no number. " + takes + L".";
	else if ((whole && value != std::round(value)) || value < least || value > most)
		PendingMessage = takes + L", not " + std::wstring(typed.c_str()) + L".";
	else if (Change([=](SModelState& record) { record.Values[i] = value; }, false))
	{
		control.Shown = ShownNumber(value);
		box->setText(control.Shown.c_str());
	}
}

bool CPropertiesWindow::Change(std::function<void(SModelState&)> edit, bool ownStep)
{
	const int slot = LaidSlot;
	const SModelState* record = slot >= 0 ? Editor.Document.Object(slot) : 0;
	// The rows may be a frame behind: an object gone or changed in kind
	// takes nothing meant for the one they show.
	if (!record || KindOf(record->Type) != LaidKind)
		return false;
	// Several selected: the edit reaches each (the rows shown are ones that
	// all of them have).
	const std::vector<int> slots = LaidSlots.empty() ? std::vector<int>{slot} : LaidSlots;
	const auto command = [&]
	{
		bool changed = false;
		for (int each : slots)
		{
			const SModelState* one = Editor.Document.Object(each);
			const SObjectKind* kind = one ? KindOf(one->Type) : 0;
			if (!kind)
				continue;
			const auto withValues = [kind, edit](SModelState& record)
			{
				// A record read without its values starts from the kind's
				// defaults.
				for (u32 v = static_cast<u32>(record.Values.size()); v < kind->ValueCount; ++v)
					record.Values.push_back(kind->DefaultValues[v]);
				edit(record);
			};
			Editor.AdoptObject(each);
			changed |= Editor.Execute(commands::EditObject(each, withValues));
		}
		return changed;
	};
	const bool changed = ownStep ? Editor.AsOneStep(command) : command();
	// The object's own window shows the change too.
	if (changed && Editor.ObjectAt(slot) == Editor.SelectedModel)
		Editor.SelectNewSceneNode(false);
	return changed;
}

void CPropertiesWindow::FillParents(gui::IGUIComboBox* list)
{
	const SSceneState& scene = Editor.Document.State();
	std::vector<std::pair<std::wstring, int>> named;
	for (int other = WATER_SLOT + 1; other < CSceneEditor::MODEL_SLOTS; ++other)
		if (const SModelState* record = Editor.Document.Object(other);
		    record && other != LaidSlot && !scenetree::IsAncestor(scene, LaidSlot, other))
			named.push_back({scenetree::DisplayName(*record), other});
	std::sort(named.begin(), named.end());
	list->clear();
	list->addItem(L"(none)");
	ParentChoices.assign(1, -1);
	// Each entry leads with the object's slot, as "Scene Objects" does: two
	// objects may carry the same name (another tool's unnamed nodes do).
	for (const auto& one : named)
	{
		list->addItem((std::to_wstring(one.second) + L"  " + one.first).c_str());
		ParentChoices.push_back(one.second);
	}
}

bool CPropertiesWindow::ChooseParent(s32 entry)
{
	if (entry < 0 || static_cast<size_t>(entry) >= ParentChoices.size() || LaidSlot < 0)
		return false;
	const int parent = ParentChoices[static_cast<size_t>(entry)];
	const std::vector<int> roots =
	    LaidSlots.empty() ? std::vector<int>{LaidSlot} : Editor.SelectionRoots();
	// One that would hang below itself keeps its parent: SetParent refuses it.
	const bool changed = Editor.AsOneStep(
	    [&]
	    {
		    bool any = false;
		    for (int slot : roots)
			    any |= Editor.SetParent(slot, parent);
		    return any;
	    });
	// Nothing changed: the list shows the parent again all the same.
	if (!changed)
		ShownVersion = 0;
	return changed;
}

bool CPropertiesWindow::LoadTexture(const char* filename)
{
	std::vector<int> slots = LaidSlots;
	if (slots.empty() && LaidSlot >= 0)
		slots.push_back(LaidSlot);
	std::vector<CModel*> surfaced;
	for (int slot : slots)
		if (HasSurface(ObjectNode(Editor.ObjectAt(slot))))
			surfaced.push_back(Editor.ObjectAt(slot));
	scene::ISceneNode* first = surfaced.empty() ? 0 : ObjectNode(surfaced[0]);
	if (!Editor.LoadTextureInto(first, TextureLayer, filename, L"No object selected."))
		return false;
	// Loaded once, the texture goes to the others too; the nodes reach the
	// document together, as one step.
	video::ITexture* texture = first->getMaterial(0).getTexture(TextureLayer);
	for (CModel* object : surfaced)
	{
		ObjectNode(object)->setMaterialTexture(TextureLayer, texture);
		// An animated mesh's export names its texture by the file it came
		// from, as "Load Skin1" does.
		if (TextureLayer == 0 && object->AnimatedNode)
			object->TextureName = FileNameToWide(filename).c_str();
	}
	if (std::find(surfaced.begin(), surfaced.end(), Editor.SelectedModel) != surfaced.end())
		Editor.SelectNewSceneNode(false);
	return true;
}
