// "Particle Editor"; see ParticleWindow.h.
#include "ParticleWindow.h"

#include "CSceneEditor.h"
#include "EditorIds.h"
#include "FileNames.h"
#include "InstallPaths.h"
#include "ObjectKinds.h"
#include "ParticleSettings.h"

#include <cstring>
#include <iterator>

using namespace particles;

gui::IGUIWindow* CSceneEditor::ParticleWindow = 0;

namespace
{
typedef core::rect<s32> Rect;

const char* const DefaultTexture = "particle.bmp";

// A label column, then four columns of controls, one row under another.
const s32 LabelLeft = 10, ColumnLeft = 135, ColumnWidth = 62, ColumnStep = 66;
const s32 RowTop = 28, RowStep = 22, RowHeight = 18;

Rect LabelCell(s32 row)
{
	const s32 top = RowTop + row * RowStep;
	return Rect(LabelLeft, top, ColumnLeft - 5, top + RowHeight);
}

Rect Cell(s32 row, s32 column, s32 span = 1)
{
	const s32 top = RowTop + row * RowStep, left = ColumnLeft + column * ColumnStep;
	return Rect(left, top, left + (span - 1) * ColumnStep + ColumnWidth, top + RowHeight);
}

// One row of the window: a label, or a check box for the value that
// switches the row's affector on, then its values, one a column.
struct SRow
{
	const wchar_t* Label;
	s32 Switch;
	std::initializer_list<s32> Values;
};
const s32 NoSwitch = -1;

const SRow EmitterRows[] = {
    {L"Emitter shape:", NoSwitch, {SHAPE}},
    {L"Size X, Y, Z:", NoSwitch, {SIZE_X, SIZE_Y, SIZE_Z}},
    {L"Direction X, Y, Z:", NoSwitch, {DIRECTION_X, DIRECTION_Y, DIRECTION_Z}},
    {L"Largest angle:", NoSwitch, {ANGLE}},
    {L"Particles/s:", NoSwitch, {RATE_LEAST, RATE_MOST}},
    {L"Lifetime (ms):", NoSwitch, {LIFE_LEAST, LIFE_MOST}},
    {L"Darkest RGBA:", NoSwitch, {DARK_RED, DARK_GREEN, DARK_BLUE, DARK_ALPHA}},
    {L"Brightest RGBA:", NoSwitch, {BRIGHT_RED, BRIGHT_GREEN, BRIGHT_BLUE, BRIGHT_ALPHA}},
    {L"Start size:", NoSwitch, {START_SIZE_LEAST, START_SIZE_MOST}},
};
const SRow AffectorRows[] = {
    {L"Fade out to", FADE_ON, {FADE_RED, FADE_GREEN, FADE_BLUE, FADE_ALPHA}},
    {L"   in (ms):", NoSwitch, {FADE_TIME}},
    {L"Gravity, ms", GRAVITY_ON, {GRAVITY_X, GRAVITY_Y, GRAVITY_Z, GRAVITY_TIME}},
    {L"Rotation", SPIN_ON, {SPIN_X, SPIN_Y, SPIN_Z}},
    {L"   about pivot:", NoSwitch, {PIVOT_X, PIVOT_Y, PIVOT_Z}},
    {L"Attraction", ATTRACTION_ON, {ATTRACTION_X, ATTRACTION_Y, ATTRACTION_Z}},
    {L"   speed:", NoSwitch, {ATTRACTION_SPEED, REPEL}},
    {L"Scale by", GROW_ON, {GROW_BY}},
};

const wchar_t* const ShapeNames[SHAPE_COUNT] = {L"Point", L"Box", L"Sphere", L"Cylinder", L"Ring"};
const wchar_t* const MaterialNames[2] = {L"Additive", L"Alpha-blended"};

f32 ControlValue(gui::IGUIElement* control)
{
	switch (control->getType())
	{
	case gui::EGUIET_CHECK_BOX:
		return static_cast<gui::IGUICheckBox*>(control)->isChecked() ? 1.0f : 0.0f;
	case gui::EGUIET_COMBO_BOX:
		return static_cast<f32>(static_cast<gui::IGUIComboBox*>(control)->getSelected());
	default: return static_cast<gui::IGUISpinBox*>(control)->getValue();
	}
}

void ShowValue(gui::IGUIElement* control, f32 value)
{
	switch (control->getType())
	{
	case gui::EGUIET_CHECK_BOX:
		static_cast<gui::IGUICheckBox*>(control)->setChecked(value != 0);
		break;
	case gui::EGUIET_COMBO_BOX:
		static_cast<gui::IGUIComboBox*>(control)->setSelected(static_cast<s32>(value));
		break;
	default: static_cast<gui::IGUISpinBox*>(control)->setValue(value); break;
	}
}

// The material list's entry of an editor material index.
s32 MaterialEntry(s32 material)
{
	return material == Materials[1] ? 1 : 0;
}

// A step that crosses a wide range in a few dozen clicks.
f32 StepOf(const SValue& value)
{
	const f32 range = value.Most - value.Least;
	return range >= 5000 ? 100.0f : range >= 1000 ? 10.0f : 1.0f;
}

bool IsParticleSystem(const CModel* object)
{
	return object && object->MODEL_TYPE == CModel::TYPE_PARTICLES && object->Node;
}
} // namespace

void CParticleWindow::Create()
{
	gui::IGUIEnvironment* gui = Editor._gui;
	CSceneEditor::ParticleWindow =
	    Editor.AddToolWindow(Rect(385, 25, 795, 522), L"Particle Editor", ID_PARTICLE_WINDOW);
	gui::IGUIWindow* w = CSceneEditor::ParticleWindow;
	Controls.assign(VALUE_COUNT, 0);
	ShownValues.assign(VALUE_COUNT, 0.0f);

	s32 row = 0;
	Editor.AddLabel(L"Preset:", LabelCell(row), w, false);
	PresetList = gui->addComboBox(Cell(row, 0, 2), w, ID_PARTICLE_PRESET);
	for (const SPreset& preset : Presets)
		PresetList->addItem(core::stringw(preset.Name).c_str());
	gui->addButton(Cell(row, 3), w, ID_PARTICLE_ADD, L"Add");

	const auto addRow = [&](const SRow& r)
	{
		++row;
		if (r.Switch == NoSwitch)
			Editor.AddLabel(r.Label, LabelCell(row), w, false);
		else
			Controls[r.Switch] =
			    gui->addCheckBox(false, LabelCell(row), w, ID_PARTICLE_VALUES + r.Switch, r.Label);
		s32 column = 0;
		for (s32 v : r.Values)
		{
			const s32 id = ID_PARTICLE_VALUES + v;
			const SValue& value = Values[v];
			if (v == SHAPE)
			{
				gui::IGUIComboBox* shapes = gui->addComboBox(Cell(row, column, 2), w, id);
				for (const wchar_t* name : ShapeNames)
					shapes->addItem(name);
				Controls[v] = shapes;
			}
			else if (IsSwitch(v))
				Controls[v] = gui->addCheckBox(false, Cell(row, column), w, id, L"Repel");
			else
			{
				gui::IGUISpinBox* spin = gui->addSpinBox(L"0", Cell(row, column), true, w, id);
				spin->setDecimalPlaces(0);
				spin->setRange(value.Least, value.Most);
				spin->setStepSize(StepOf(value));
				Controls[v] = spin;
			}
			core::stringw tip(value.Caption);
			if (!IsSwitch(v) && v != SHAPE)
			{
				tip += L" (";
				tip += static_cast<s32>(value.Least);
				tip += L" to ";
				tip += static_cast<s32>(value.Most);
				tip += L")";
			}
			Controls[v]->setToolTipText(tip.c_str());
			++column;
		}
	};
	for (const SRow& r : EmitterRows)
		addRow(r);
	Editor.AddLabel(L"Material:", LabelCell(++row), w, false);
	MaterialList = gui->addComboBox(Cell(row, 0, 2), w, ID_PARTICLE_MATERIAL);
	for (const wchar_t* name : MaterialNames)
		MaterialList->addItem(name);
	++row;
	gui->addButton(LabelCell(row), w, ID_PARTICLE_LOAD_TEXTURE, L"Load Texture");
	TextureLabel = Editor.AddLabel(L"", Cell(row, 0, 4), w, false);
	for (const SRow& r : AffectorRows)
		addRow(r);
	gui->addButton(Cell(++row, 3), w, ID_PARTICLE_CLOSE, L"Close");
	TargetLabel =
	    Editor.AddLabel(L"",
	                    Rect(LabelLeft, LabelCell(row).UpperLeftCorner.Y,
	                         Cell(row, 2).LowerRightCorner.X, LabelCell(row).LowerRightCorner.Y),
	                    w, false);
	TargetLabel->setID(ID_PARTICLE_TARGET);

	// The editor's own texture (of its data folder), a soft round spot,
	// until the user loads another.
	if (video::ITexture* texture =
	        Editor._driver->getTexture((DataFolder() + DefaultTexture).c_str()))
		Texture = texture->getName().getPath().c_str();
	TextureLabel->setText(FileNameToWide(Texture).c_str());
	PresetList->setSelected(0);
	ShowPreset(0);
	for (u32 i = 0; i < VALUE_COUNT; ++i)
		ShownValues[i] = ControlValue(Controls[i]);
	ShownMaterial = MaterialList->getSelected();
	ShowTarget();
}

bool CParticleWindow::EditsSelection() const
{
	return EditsSelected && IsParticleSystem(Editor.SelectedModel);
}

void CParticleWindow::ShowTarget()
{
	core::stringw text = L"Editing: settings for \"Add\"";
	if (EditsSelection())
	{
		const std::wstring name =
		    SystemName(ValuesOf(*Editor.SelectedModel), Editor.SelectedModel->MaterialType,
		               SharedName(LayerNames(Editor.SelectedModel->Node, 0)));
		text = (L"Editing: " + std::to_wstring(Editor.SlotOf(Editor.SelectedModel)) + L"  " + name)
		           .c_str();
	}
	if (text != TargetLabel->getText())
		TargetLabel->setText(text.c_str());
}

void CParticleWindow::ShowPreset(s32 preset)
{
	if (preset < 0 || preset >= static_cast<s32>(std::size(Presets)))
		return;
	for (u32 i = 0; i < VALUE_COUNT; ++i)
		ShowValue(Controls[i], Presets[preset].Values[i]);
	MaterialList->setSelected(MaterialEntry(Presets[preset].Material));
}

void CParticleWindow::Fill(CModel& particles)
{
	const SObjectKind& kind = *KindOf(CModel::TYPE_PARTICLES);
	for (u32 i = 0; i < VALUE_COUNT; ++i)
	{
		ShowValue(Controls[i], KindValue(kind, particles, i));
		ShownValues[i] = ControlValue(Controls[i]);
	}
	MaterialList->setSelected(MaterialEntry(particles.MaterialType));
	ShownMaterial = MaterialList->getSelected();
	// The list names the system's preset, or none once it differs from each.
	PresetList->setSelected(PresetOf(ValuesOf(particles), particles.MaterialType));
	EditsSelected = true;
	if (particles.Node)
	{
		Texture = SharedName(LayerNames(particles.Node, 0));
		ShownPlace = particles.Node->getPosition();
	}
	TextureLabel->setText(FileNameToWide(Texture).c_str());
	ShowTarget();
}

// Every frame while a particle system is selected: the controls the user
// changed reach it while the window edits it, and its affectors follow it
// when it moves (their points are given from the system, the engine takes
// them in the scene).
void CParticleWindow::Update()
{
	CModel* particles = Editor.SelectedModel;
	if (Controls.empty())
		return;
	ShowTarget();
	if (!IsParticleSystem(particles))
		return;
	const SObjectKind& kind = *KindOf(CModel::TYPE_PARTICLES);
	// A control the user changed since the window showed it changes the
	// system's record; the node follows the document.
	std::vector<std::pair<u32, f32>> changed;
	for (u32 i = 0; i < VALUE_COUNT && EditsSelected; ++i)
	{
		const f32 shown = ControlValue(Controls[i]);
		if (shown == ShownValues[i])
			continue;
		ShownValues[i] = shown;
		changed.push_back({i, shown});
	}
	const s32 material = MaterialList->getSelected();
	const bool newMaterial = EditsSelected && material != ShownMaterial;
	if (newMaterial)
		ShownMaterial = material;
	if (!changed.empty() || newMaterial)
		Editor.EditSelected(
		    [&](SModelState& record)
		    {
			    for (const auto& [value, shown] : changed)
				    if (value < record.Values.size())
					    record.Values[value] = shown;
			    if (newMaterial)
				    record.Material = Materials[material == 1 ? 1 : 0];
		    });
	// The emitter stands where the node does, however it was moved.
	const core::vector3df place = particles->Node->getPosition();
	if (!SameBits(place, ShownPlace))
	{
		ShownPlace = place;
		kind.ApplyValues(*particles);
	}
}

bool CParticleWindow::Add()
{
	const int slot = Editor.NextModelSlot();
	if (slot == 0)
	{
		Editor.ShowMessage(L"Particle System Error!",
		                   L"The scene is full. Use File, Clear to start again.");
		return false;
	}
	Editor.current_model = slot;
	SModelState record;
	record.Type = CModel::TYPE_PARTICLES;
	record.Position = Editor.Positioner->getPosition();
	record.Material = Materials[MaterialList->getSelected() == 1 ? 1 : 0];
	for (gui::IGUIElement* control : Controls)
		record.Values.push_back(ControlValue(control));
	if (!Texture.empty())
		record.Textures[0] = {Texture};
	CModel* particles = Editor.BuildObject(slot, record);
	if (!particles)
	{
		Editor.ShowMessage(L"Particle System Error!", L"The particle system could not be built.");
		return false;
	}
	// Selected, but the window goes on with the settings of the next one,
	// the preset it showed included.
	const s32 preset = PresetList->getSelected();
	Editor.Select(particles);
	PresetList->setSelected(preset);
	EditsSelected = false;
	ShowTarget();
	return true;
}

bool CParticleWindow::SetPreset(const char* name)
{
	s32 preset = -1;
	for (size_t i = 0; i < std::size(Presets); ++i)
		if (name && !std::strcmp(name, Presets[i].Name))
			preset = static_cast<s32>(i);
	if (preset < 0)
		return false;
	PresetList->setSelected(preset);
	ShowPreset(preset);
	Update();
	return true;
}

bool CParticleWindow::LoadTexture(const char* filename)
{
	video::ITexture* texture = Editor.LoadTextureSafely(filename);
	if (!texture)
	{
		Editor.ShowMessage(L"Load Skin Error!", L"Wrong file format or corrupted file.");
		return false;
	}
	Texture = texture->getName().getPath().c_str();
	TextureLabel->setText(FileNameToWide(Texture).c_str());
	if (IsParticleSystem(Editor.SelectedModel))
	{
		Editor.SelectedModel->Node->setMaterialTexture(0, texture);
		Editor.SceneChanged();
	}
	return true;
}

// The editor's operations of the window.
bool CSceneEditor::CreateNewParticleSystem()
{
	return ParticleEditor.Add();
}

bool CSceneEditor::SetParticlePreset(const char* name)
{
	return ParticleEditor.SetPreset(name);
}

bool CSceneEditor::LoadParticleTexture(const char* filename)
{
	return ParticleEditor.LoadTexture(filename);
}

bool CSceneEditor::AnimationInView() const
{
	for (int slot = 1; slot < MODEL_SLOTS; ++slot)
		if (IsParticleSystem(Model[slot]) && Model[slot]->Node->isVisible() &&
		    !_smgr->isCulled(Model[slot]->Node))
			return true;
	return false;
}
