// The "Transform" window and the exact placement it applies; see
// TransformWindow.h.
#include "TransformWindow.h"

#include <charconv>
#include <cmath>
#include <string>

#include "CSceneEditor.h"
#include "EditorIds.h"
#include "ObjectKinds.h"

namespace
{
typedef core::rect<s32> Rect;

f32 Component(const core::vector3df& v, int axis)
{
	return axis == 0 ? v.X : axis == 1 ? v.Y : v.Z;
}

void SetComponent(core::vector3df& v, int axis, f32 value)
{
	(axis == 0 ? v.X : axis == 1 ? v.Y : v.Z) = value;
}

// Boxes 0 to 8 are position, rotation and scale; then "Grid" and "Angle".
const int GRID_BOX = 9;
const int ANGLE_BOX = 10;
} // namespace

bool CTransformWindow::StepFits(int box, f32 value)
{
	return box == GRID_BOX ? value >= SMALLEST_GRID && value <= LARGEST_GRID
	                       : value >= SMALLEST_ANGLE && value <= LARGEST_ANGLE;
}

bool ParseTypedNumber(const wchar_t* text, f32& value)
{
	std::string typed;
	for (const wchar_t* c = text; c && *c; ++c)
	{
		if (*c < 0 || *c > 127)
			return false;
		typed += *c == L',' ? '.' : static_cast<char>(*c);
	}
	const size_t first = typed.find_first_not_of(" \t");
	if (first == std::string::npos)
		return false;
	typed = typed.substr(first, typed.find_last_not_of(" \t") - first + 1);
	// from_chars reads no leading plus sign.
	const char* begin = typed.c_str();
	const char* end = begin + typed.size();
	if (typed.size() > 1 && typed[0] == '+' && typed[1] != '-')
		++begin;
	const std::from_chars_result read = std::from_chars(begin, end, value);
	return read.ec == std::errc() && read.ptr == end && std::isfinite(value);
}

core::stringw ShownNumber(f32 value)
{
	char buffer[64];
	const std::to_chars_result r =
	    std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::fixed, 3);
	std::string text(buffer, r.ptr);
	// "1.500" shows as "1.5", "2.000" as "2" and "-0.000" as "0".
	if (text.find('.') != std::string::npos)
	{
		text.erase(text.find_last_not_of('0') + 1);
		if (text.back() == '.')
			text.pop_back();
	}
	if (text == "-0")
		text = "0";
	return core::stringw(text.c_str());
}

void CTransformWindow::Create()
{
	// Beside the model window, which it must not cover; a box holds
	// "-1234.567" whole, and the bottom row stays where it always was.
	Window = Editor.AddToolWindow(Rect(458, 30, 790, 185), L"Transform", ID_TRANSFORM_WINDOW);
	// It stays open until its own close button is pressed.
	Window->getCloseButton()->setVisible(true);
	gui::IGUIEnvironment* gui = Editor._gui;
	const wchar_t* const axes[3] = {L"X", L"Y", L"Z"};
	for (int a = 0; a < 3; ++a)
		Editor.AddLabel(axes[a], Rect(108 + 84 * a, 25, 123 + 84 * a, 40), Window);
	const wchar_t* const rows[3] = {L"Position", L"Rotation", L"Scale"};
	for (int row = 0; row < 3; ++row)
	{
		const s32 top = 42 + 25 * row;
		Editor.AddLabel(rows[row], Rect(10, top + 3, 72, top + 18), Window);
		for (int a = 0; a < 3; ++a)
			Boxes[3 * row + a] =
			    gui->addEditBox(L"", Rect(74 + 84 * a, top, 154 + 84 * a, top + 20), true, Window,
			                    ID_TRANSFORM_POSITION_X + 3 * row + a);
	}
	SnapBox = gui->addCheckBox(false, Rect(82, 122, 147, 142), Window, ID_TRANSFORM_SNAP, L"Snap");
	Editor.AddLabel(L"Grid", Rect(154, 125, 184, 140), Window);
	Boxes[GRID_BOX] =
	    gui->addEditBox(L"", Rect(184, 122, 229, 142), true, Window, ID_TRANSFORM_GRID);
	Editor.AddLabel(L"Angle", Rect(235, 125, 275, 140), Window);
	Boxes[ANGLE_BOX] =
	    gui->addEditBox(L"", Rect(275, 122, 324, 142), true, Window, ID_TRANSFORM_ANGLE);
	for (int box : {GRID_BOX, ANGLE_BOX})
	{
		Shown[box] = ShownNumber(box == GRID_BOX ? Grid : Angle);
		Boxes[box]->setText(Shown[box].c_str());
	}
}

void CTransformWindow::Show()
{
	Window->setVisible(true);
	Editor._gui->getRootGUIElement()->bringToFront(Window);
	ShownSlot = -2; // every box shows the values afresh
	Update();
}

bool CTransformWindow::Snap() const
{
	return SnapBox && SnapBox->isChecked();
}

void CTransformWindow::Update()
{
	if (!Window || !Window->isVisible())
		return;
	const int slot = Editor.SlotOf(Editor.SelectedModel);
	if (Editor.Document.Version == ShownVersion && slot == ShownSlot)
		return;
	// What was typed for another object does not carry over.
	const bool reselected = slot != ShownSlot;
	ShownVersion = Editor.Document.Version;
	ShownSlot = slot;
	const SModelState* record = slot >= 0 ? Editor.Document.Object(slot) : 0;
	const SWorldState& world = Editor.Document.World();
	const core::vector3df values[3] = {record ? record->Position : world.MarkerPosition,
	                                   record ? record->Rotation : world.MarkerRotation,
	                                   record ? record->Scale : core::vector3df(1, 1, 1)};
	for (int box = 0; box < 9; ++box)
	{
		// The marker has no scale to edit.
		const bool shown = record || box < 6;
		const core::stringw text =
		    shown ? ShownNumber(Component(values[box / 3], box % 3)) : core::stringw();
		// A box the user typed in keeps the text until it is applied.
		if (reselected || Shown[box] == Boxes[box]->getText())
			Boxes[box]->setText(text.c_str());
		Shown[box] = text;
		Boxes[box]->setEnabled(shown);
	}
}

int CTransformWindow::BoxOf(const gui::IGUIElement* element) const
{
	for (int box = 0; box < 11; ++box)
		if (element && element == Boxes[box])
			return box;
	return -1;
}

bool CTransformWindow::OnGuiEvent(const SEvent::SGUIEvent& event)
{
	switch (event.EventType)
	{
	case gui::EGET_EDITBOX_ENTER:
	{
		const int box = BoxOf(event.Caller);
		if (box < 0)
			return false;
		Apply(box);
		// The keys go back to the scene: F, Delete and the arrows act on
		// the object again instead of typing into the box.
		Editor._gui->removeFocus(Boxes[box]);
		return true;
	}
	case gui::EGET_ELEMENT_FOCUS_LOST:
		// Leaving a box applies it; the focus moves on all the same.
		if (BoxOf(event.Caller) >= 0)
			Apply(BoxOf(event.Caller));
		return false;
	case gui::EGET_ELEMENT_CLOSED:
		if (event.Caller != Window)
			return false;
		Window->setVisible(false);
		return true;
	default: return false;
	}
}

// A box whose text the user changed: a number is applied as one step; other
// text, or a value the object cannot take, gives way to the value as it is.
void CTransformWindow::Apply(int box)
{
	gui::IGUIEditBox* field = Boxes[box];
	if (Shown[box] == field->getText())
		return;
	f32 value = 0.0f;
	if (ParseTypedNumber(field->getText(), value))
	{
		if (box >= GRID_BOX)
			ApplyStep(box, value);
		else
			ApplyTransform(box, value);
	}
	field->setText(Shown[box].c_str());
	Update();
}

// One value of the selection's transform, or of the marker's when nothing
// is selected.
void CTransformWindow::ApplyTransform(int box, f32 value)
{
	CModel* object = Editor.SelectedModel;
	scene::ISceneNode* marker = Editor.Positioner;
	core::vector3df values[3] = {object ? object->getPosition() : marker->getPosition(),
	                             object ? object->getRotation() : marker->getRotation(),
	                             object ? object->getScale() : core::vector3df(1, 1, 1)};
	// A value beyond what a scene holds is refused as a non-number is.
	if (!TransformValueFits(box / 3, value))
		return;
	SetComponent(values[box / 3], box % 3, value);
	if (object)
		Editor.SetSelectedTransform(values[0], values[1], values[2]);
	else if (box < 6)
		Editor.AsOneStep(
		    [&]
		    {
			    return Editor.Execute(commands::EditWorld(
			        [&](SWorldState& world)
			        {
				        world.MarkerPosition = values[0];
				        world.MarkerRotation = values[1];
			        }));
		    });
}

// "Grid" and "Angle" take steps within their ranges.
void CTransformWindow::ApplyStep(int box, f32 value)
{
	if (!StepFits(box, value))
		return;
	(box == GRID_BOX ? Grid : Angle) = value;
	Shown[box] = ShownNumber(value);
}

int CSceneEditor::SlotOf(const CModel* object) const
{
	for (int slot = 0; slot < MODEL_SLOTS && object; ++slot)
		if (ObjectAt(slot) == object)
			return slot;
	return -1;
}

bool CSceneEditor::SetSelectedTransform(const core::vector3df& position,
                                        const core::vector3df& rotation,
                                        const core::vector3df& scale)
{
	const core::vector3df* const rows[3] = {&position, &rotation, &scale};
	for (int row = 0; row < 3; ++row)
		for (int axis = 0; axis < 3; ++axis)
			if (!TransformValueFits(row, Component(*rows[row], axis)))
				return false;
	if (!SelectedModel)
		return false;
	if (SelectedSlots().size() > 1)
		return ChangeSelectionLike(position, rotation, scale);
	return AsOneStep(
	    [&]
	    {
		    const bool changed = SetTransformOf(SelectedModel, position, rotation, scale);
		    // The object's window shows the new scale.
		    SelectNewSceneNode(false);
		    return changed;
	    });
}
