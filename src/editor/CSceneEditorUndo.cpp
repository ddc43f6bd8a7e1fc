// The scene document and undo. What changes an object, the marker or the
// colours reaches the document within a frame (SyncDocument); operations
// that load files say so (SceneChanged), and the next sync reads meshes and
// textures too. The history holds the document after each step; a step ends
// when the editor is quiet again after a change (no movement key, mouse
// button or open text edit), so that a held key, a drag or a typed name is
// one step. Undo and redo make the document a step's and rebuild only what
// differs.
#include "CSceneEditor.h"

#include <algorithm>

#include "Commands.h"
#include "EditorIds.h"
#include "ModelShadow.h"
#include "ObjectKinds.h"
#include "RecordFields.h"

// ---------------------------------------------------------------------------
// The document

CModel* CSceneEditor::ObjectAt(int slot) const
{
	return slot == WATER_SLOT ? Water : Model[slot];
}

void CSceneEditor::SceneChanged()
{
	StateDirty = true;
	FilesChanged = true;
}

namespace
{
// Whatever moved a node, its transform stays one a scene file holds.
void KeepTransformInLimits(scene::ISceneNode& node)
{
	const core::vector3df position = KeptInWorld(node.getPosition());
	const core::vector3df rotation = KeptInWorld(node.getRotation());
	const core::vector3df scale = KeptScale(node.getScale());
	if (!SameBits(position, node.getPosition()))
		node.setPosition(position);
	if (!SameBits(rotation, node.getRotation()))
		node.setRotation(rotation);
	if (!SameBits(scale, node.getScale()))
		node.setScale(scale);
}

// Whether a record holds an object's values, its files aside.
bool RecordMatches(const SModelState& record, const CModel& object, const scene::ISceneNode& node,
                   const SObjectKind& kind)
{
	bool same = true;
	EachRecordField(
	    [&](const auto& field)
	    {
		    using T = std::decay_t<decltype(FieldOf(record, field))>;
		    if (!same || !field.Shown)
			    return;
		    // The kind's own values compare where the object keeps them.
		    if constexpr (std::is_same_v<T, std::vector<f32>>)
		    {
			    same = record.Values.size() == kind.ValueCount;
			    for (u32 i = 0; i < kind.ValueCount && same; ++i)
				    same = record.Values[i] == KindValue(kind, object, i);
		    }
		    else
			    same = SameValue(FieldOf(record, field), field.Shown(object, node));
	    });
	return same;
}
} // namespace

// Whether an object's node can show a record as it is: the same kind, mesh
// and own values (the water's waves are built into its mesh), or values its
// node takes as they change.
bool CSceneEditor::SameBuild(const SObjectKind& kind, const CModel& object,
                             const SModelState& record)
{
	if (record.Type != object.MODEL_TYPE || kind.MeshOf(*this, object) != record.Mesh ||
	    record.Values.size() != kind.ValueCount)
		return false;
	for (u32 i = 0; i < kind.ValueCount && !kind.ApplyValues; ++i)
		if (record.Values[i] != KindValue(kind, object, i))
			return false;
	return true;
}

void CSceneEditor::SyncObject(int slot, bool files)
{
	const CModel* object = ObjectAt(slot);
	scene::ISceneNode* node = ObjectNode(object);
	if (!node)
	{
		Document.SetObject(slot, nullptr);
		return;
	}
	KeepTransformInLimits(*node);
	const SObjectKind& kind = *KindOf(object->MODEL_TYPE);
	const SModelState* old = Document.Object(slot);
	if (old && !files && RecordMatches(*old, *object, *node, kind))
		return;
	SModelState record = old ? *old : SModelState();
	if (files || !old)
	{
		record.Mesh = kind.MeshOf(*this, *object);
		record.Textures[0] = LayerNames(node, 0);
		record.Textures[1] = LayerNames(node, 1);
	}
	EachRecordField(
	    [&](const auto& field)
	    {
		    if (field.Shown)
			    FieldOf(record, field) = field.Shown(*object, *node);
	    });
	Document.SetObject(slot, std::move(record));
}

void CSceneEditor::SyncWorld(bool files)
{
	const std::array<gui::IGUIScrollBar*, 6> bars = ColourBars();
	// Most frames change nothing here: no copy of the world for them.
	const SWorldState& now = Document.World();
	Positioner->setPosition(KeptInWorld(Positioner->getPosition()));
	Positioner->setRotation(KeptInWorld(Positioner->getRotation()));
	bool same = !files && SameBits(now.MarkerPosition, Positioner->getPosition()) &&
	            SameBits(now.MarkerRotation, Positioner->getRotation()) &&
	            now.CurrentModel == current_model;
	for (int i = 0; i < 6 && same; ++i)
		same = !bars[i] || bars[i]->getPos() == ShownBars[i];
	if (same)
		return;
	Document.EditWorld(
	    [&](SWorldState& world)
	    {
		    if (files)
		    {
			    world.Plane =
			        LevelPlane ? SWorldPiece{MeshFileOf(LevelPlane), "", LayerNames(LevelPlane, 0)}
			                   : SWorldPiece();
			    world.Terrain =
			        Terrain ? SWorldPiece{TerrainFile, "", LayerNames(Terrain, 0)} : SWorldPiece();
			    world.Level = Q3LevelNode ? SWorldPiece{LevelFile, LevelName, {}} : SWorldPiece();
			    world.Sky = SkyBox ? LayerNames(SkyBox, 0) : TextureNames();
		    }
		    // A bar the user moved away from what it showed sets its colour.
		    for (int i = 0; i < 6; ++i)
			    if (bars[i] && bars[i]->getPos() != ShownBars[i])
				    world.Bars[i] = ShownBars[i] = bars[i]->getPos();
		    world.MarkerPosition = Positioner->getPosition();
		    world.MarkerRotation = Positioner->getRotation();
		    world.CurrentModel = current_model;
	    });
}

void CSceneEditor::SyncDocument()
{
	const bool files = FilesChanged;
	FilesChanged = false;
	for (int slot = 0; slot < MODEL_SLOTS; ++slot)
		SyncObject(slot, files);
	SyncWorld(files);
}

void CSceneEditor::SyncEdited()
{
	if (StateDirty || FilesChanged)
	{
		SyncDocument();
		return;
	}
	// A node's id is its slot (the water's its own id).
	if (const scene::ISceneNode* node = ObjectNode(SelectedModel))
	{
		const int slot = node->getID() == ID_WATER_NODE ? WATER_SLOT : node->getID();
		if (slot >= 0 && slot < MODEL_SLOTS && ObjectAt(slot) == SelectedModel)
			SyncObject(slot, false);
		else
			SyncDocument();
	}
	SyncWorld(false);
}

int CSceneEditor::SlotOfNode(const scene::ISceneNode* node) const
{
	for (int slot = 0; slot < MODEL_SLOTS && node; ++slot)
		if (ObjectNode(ObjectAt(slot)) == node)
			return slot;
	return -1;
}

// ---------------------------------------------------------------------------
// Recording

bool CSceneEditor::RecordStep()
{
	StateDirty = false;
	std::wstring named;
	named.swap(StepName);
	// What the model window holds belongs to the step.
	UpdateSelectedModel();
	SyncDocument();
	if (History.empty())
	{
		History.push_back({Document.State(), Document.Content, L""});
		HistoryPosition = 0;
		ShowEditMenu();
		return false;
	}
	const SHistoryStep& shown = History[HistoryPosition];
	if (Document.Content == shown.Content)
		return false;
	// Changed and changed back: the step shown is the scene.
	if (Document.State() == shown.State)
	{
		Document.Content = shown.Content;
		return false;
	}
	// A new change drops the steps that were taken back.
	std::wstring what = named.empty() ? DescribeChange(shown.State, Document.State()) : named;
	History.erase(History.begin() + HistoryPosition + 1, History.end());
	History.push_back({Document.State(), Document.Content, std::move(what)});
	if (History.size() > UNDO_STEPS + 1)
		History.pop_front();
	HistoryPosition = History.size() - 1;
	ShowEditMenu();
	return true;
}

bool CSceneEditor::StepCanEnd()
{
	if (Loading || MouseButtonsHeld || CheckEditBoxFocus())
		return false;
	for (EKEY_CODE code : MovementKeys)
		if (key[code])
			return false;
	return true;
}

bool CSceneEditor::RollBackHeldChange()
{
	bool held = false;
	for (int i = 0; i < MOVEMENT_KEYS; ++i)
		held = held || key[MovementKeys[i]];
	if (!held || History.empty() || Loading)
		return false;
	// The keys stop where they are: a release ends nothing more.
	for (int i = 0; i < MOVEMENT_KEYS; ++i)
	{
		key[MovementKeys[i]] = false;
		Holds[i] = SKeyHold{false, 0.0, 0};
	}
	SyncDocument();
	const SHistoryStep& begun = History[HistoryPosition];
	if (Document.Content != begun.Content)
	{
		ApplyState(begun.State, Document.State());
		Document.Replace(begun.State, begun.Content);
		SyncDocument();
	}
	return true;
}

void CSceneEditor::ShowEditMenu()
{
	if (!EditMenu)
		return;
	const bool undo = HistoryPosition > 0 && HistoryPosition < History.size();
	const bool redo = HistoryPosition + 1 < History.size();
	const std::wstring& undone = undo ? History[HistoryPosition].What : std::wstring();
	const std::wstring& redone = redo ? History[HistoryPosition + 1].What : std::wstring();
	EditMenu->setItemText(0, (undone.empty() ? L"Undo" : L"Undo " + undone).c_str());
	EditMenu->setItemEnabled(0, undo);
	EditMenu->setItemText(1, (redone.empty() ? L"Redo" : L"Redo " + redone).c_str());
	EditMenu->setItemEnabled(1, redo);
}

// ---------------------------------------------------------------------------
// Undo and redo

bool CSceneEditor::Undo()
{
	if (Loading)
		return false;
	// A change still going on is a step of its own, taken back first.
	RecordStep();
	if (HistoryPosition == 0)
		return false;
	ApplyState(History[HistoryPosition - 1].State, History[HistoryPosition].State);
	--HistoryPosition;
	Document.Replace(History[HistoryPosition].State, History[HistoryPosition].Content);
	// What could not be rebuilt (a file gone since) leaves the document.
	SyncDocument();
	ShowEditMenu();
	return true;
}

bool CSceneEditor::Redo()
{
	if (Loading)
		return false;
	RecordStep(); // a new change: nothing is left to redo
	if (HistoryPosition + 1 >= History.size())
		return false;
	ApplyState(History[HistoryPosition + 1].State, History[HistoryPosition].State);
	++HistoryPosition;
	Document.Replace(History[HistoryPosition].State, History[HistoryPosition].Content);
	SyncDocument();
	ShowEditMenu();
	return true;
}

// Makes the scene `target`, touching only what differs from `current`.
void CSceneEditor::ApplyState(const SSceneState& target, const SSceneState& current)
{
	std::vector<std::wstring> ignored;
	MessageLog = &ignored;
	for (int slot = 0; slot < MODEL_SLOTS; ++slot)
		if (target.Models[slot] != current.Models[slot])
			ApplyModel(slot, target.Models[slot].get());
	if (target.World != current.World)
		ApplyWorld(*target.World, *current.World);
	MessageLog = 0;
	// The windows show the selection as it is now.
	if (SelectedModel)
		SelectNewSceneNode(false);
	StateDirty = false;
}

void CSceneEditor::ApplyModel(int slot, const SModelState* state)
{
	CModel* object = ObjectAt(slot);
	const scene::ISceneNode* node = ObjectNode(object);
	const SObjectKind* kind = node ? KindOf(object->MODEL_TYPE) : 0;
	const bool sameBuild = kind && state && SameBuild(*kind, *object, *state);
	if (node && !sameBuild)
	{
		if (SelectedModel == object)
			SelectedModel = 0;
		object->remove();
	}
	if (!state)
		return;
	if (!sameBuild)
	{
		BuildObject(slot, *state);
		return;
	}
	// Meshes and textures come from the engine's caches, or are loaded
	// again through the crash-proof path when the scene has let them go.
	ApplyTextures(kind->NodeOf(*object), 0, state->Textures[0]);
	ApplyTextures(kind->NodeOf(*object), 1, state->Textures[1]);
	ApplyModelFields(*object, *state);
}

CModel* CSceneEditor::BuildObject(int slot, const SModelState& record)
{
	const SObjectKind* kind = KindOf(record.Type);
	if (!kind)
		return 0;
	CModel* object = ObjectAt(slot);
	if (object)
		object->remove();
	if (slot != WATER_SLOT)
	{
		if (SelectedModel == object)
			SelectedModel = 0;
		delete object;
		object = Model[slot] = new CModel(_smgr);
	}
	if (!kind->Build(*this, *object, record))
		return 0;
	scene::ISceneNode* node = kind->NodeOf(*object);
	node->setID(slot == WATER_SLOT ? ID_WATER_NODE : slot);
	ApplyTextures(node, 0, record.Textures[0]);
	ApplyTextures(node, 1, record.Textures[1]);
	ApplyModelFields(*object, record);
	SceneChanged();
	return object;
}

// An object's transform, names, material, flags and own values (not its
// node, mesh or textures).
void CSceneEditor::ApplyModelFields(CModel& model, const SModelState& state)
{
	EachRecordField(
	    [&](const auto& field)
	    {
		    if (field.Show)
			    field.Show(model, FieldOf(state, field));
	    });
}

void CSceneEditor::ApplyWorld(const SWorldState& target, const SWorldState& current)
{
	// Everything that goes comes out first, so a plane and a terrain never
	// meet on the way.
	if (!(target.Terrain == current.Terrain) && Terrain)
		DeleteTerrain();
	if (!(target.Plane == current.Plane) && LevelPlane)
		DeletePlane();
	if (!(target.Level == current.Level) && Q3LevelNode)
		DeleteQ3Level();
	if (target.Sky != current.Sky && SkyBox)
	{
		SkyBox->remove();
		SkyBox = 0;
	}
	if (!(target.Terrain == current.Terrain) && !target.Terrain.File.empty() &&
	    LoadTerrain(target.Terrain.File.c_str()))
		ApplyTextures(Terrain, 0, target.Terrain.Textures);
	if (!(target.Plane == current.Plane) && !target.Plane.File.empty())
	{
		scene::IAnimatedMesh* mesh = LoadMeshSafely(target.Plane.File.c_str());
		if (mesh && PlacePlane(mesh))
			ApplyTextures(LevelPlane, 0, target.Plane.Textures);
	}
	if (!(target.Level == current.Level) && !target.Level.File.empty())
		PlaceQ3Level(target.Level.File, target.Level.Name, false);
	if (target.Sky != current.Sky && target.Sky.size() == 6)
	{
		// The sky box's materials are its front, left, back, right, top
		// and bottom faces.
		video::ITexture* faces[6];
		bool complete = true;
		for (int i = 0; i < 6; ++i)
			complete = (faces[i] = LoadTextureSafely(target.Sky[i].c_str())) && complete;
		if (complete)
			SkyBox = _smgr->addSkyBoxSceneNode(faces[4], faces[5], faces[1], faces[3], faces[0],
			                                   faces[2], 0, ID_NONE);
		SceneChanged();
	}
	// "SkyBox Setup" names the faces of the sky box shown.
	const std::array<gui::IGUIEditBox*, 7> sky = SkyBoxFields();
	if (!std::equal(target.SkyTexts, target.SkyTexts + 7, current.SkyTexts))
		for (int i = 0; i < 7; ++i)
			sky[i]->setText(target.SkyTexts[i].c_str());
	ShowColourBars(target.Bars);
	Positioner->setPosition(target.MarkerPosition);
	Positioner->setRotation(target.MarkerRotation);
	current_model = target.CurrentModel;
}

void CSceneEditor::ShowColourBars(const s32 (&bars)[6])
{
	for (int i = 0; i < 6; ++i)
	{
		ColourBars()[i]->setPos(bars[i]);
		ShownBars[i] = ColourBars()[i]->getPos();
	}
}

void CSceneEditor::ApplyTextures(scene::ISceneNode* node, u32 layer, const TextureNames& names)
{
	// One name stands for every material (as "Load Skin" leaves a node).
	const bool shared = names.size() == 1;
	for (u32 i = 0; i < node->getMaterialCount() && (shared || i < names.size()); ++i)
	{
		const std::string& name = names[shared ? 0 : i];
		node->getMaterial(i).setTexture(layer, name.empty() ? 0 : LoadTextureSafely(name.c_str()));
	}
}
