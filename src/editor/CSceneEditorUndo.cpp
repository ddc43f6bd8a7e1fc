// The scene document and undo. Every change of the scene is a command on
// the document (Execute), and the engine's nodes follow the document. An
// operation that loads files builds its nodes itself and hands what it built
// to the document at its end (SceneChanged, then AdoptLoaded). The history
// holds the document after each step: a command is a step of its own unless
// an edit is open (a held key, a mouse button, a typed field, an operation),
// and then the edit's commands are one step when it ends. Escape takes an
// open edit back to where it began. Undo and redo make the document a step's
// and rebuild only what differs.
#include "CSceneEditor.h"

#include <algorithm>

#include "Commands.h"
#include "EditorIds.h"
#include "ModelShadow.h"
#include "ObjectKinds.h"
#include "RecordFields.h"
#include "SceneFile.h"
#include "SceneTree.h"

// ---------------------------------------------------------------------------
// The document

CModel* CSceneEditor::ObjectAt(int slot) const
{
	return slot == WATER_SLOT ? Water : Model[slot];
}

void CSceneEditor::SceneChanged()
{
	// Nodes built from the document are the document's already.
	if (!Applying)
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

// The file an animated mesh node's mesh was loaded from.
std::string CSceneEditor::MeshFileOf(scene::ISceneNode* node) const
{
	scene::IAnimatedMesh* mesh = static_cast<scene::IAnimatedMeshSceneNode*>(node)->getMesh();
	return _smgr->getMeshCache()->getMeshName(mesh).getPath().c_str();
}

std::array<gui::IGUIEditBox*, 7> CSceneEditor::SkyBoxFields() const
{
	return {sbw_editboxDir,   sbw_editboxUp,    sbw_editboxDown, sbw_editboxLeft,
	        sbw_editboxRight, sbw_editboxFront, sbw_editboxBack};
}

void CSceneEditor::KeepSkyBoxTexts()
{
	const std::array<gui::IGUIEditBox*, 7> fields = SkyBoxFields();
	Document.EditWorld(
	    [&](SWorldState& world)
	    {
		    for (int i = 0; i < 7; ++i)
			    world.SkyTexts[i] = fields[i]->getText();
	    });
}

std::array<gui::IGUIScrollBar*, 6> CSceneEditor::ColourBars() const
{
	return {spw_refresh_redbar,  spw_refresh_greenbar,
	        spw_refresh_bluebar, sbw_red,
	        sbw_green,           sbw_blue};
}

namespace
{
// A piece read from its node: hidden as its node is, and still locked when
// it is the file that was locked (a piece loaded anew starts free).
void KeepFlags(SWorldPiece& piece, const SWorldPiece& was, const scene::ISceneNode* node)
{
	piece.Hidden = node && !node->isVisible();
	piece.Locked = node && was.Locked && piece.File == was.File && piece.Name == was.Name;
}
} // namespace

void CSceneEditor::SyncWorld(bool files)
{
	const std::array<gui::IGUIScrollBar*, 6> bars = ColourBars();
	// Most commands leave the marker and the slot counter as they are: no
	// copy of the world for them.
	const SWorldState& now = Document.World();
	Positioner->setPosition(KeptInWorld(Positioner->getPosition()));
	Positioner->setRotation(KeptInWorld(Positioner->getRotation()));
	const bool same = !files && SameBits(now.MarkerPosition, Positioner->getPosition()) &&
	                  SameBits(now.MarkerRotation, Positioner->getRotation()) &&
	                  now.CurrentModel == current_model;
	if (same)
		return;
	Document.EditWorld(
	    [&](SWorldState& world)
	    {
		    if (files)
		    {
			    const SWorldState was = world;
			    world.Plane =
			        LevelPlane ? SWorldPiece{MeshFileOf(LevelPlane), "", LayerNames(LevelPlane, 0)}
			                   : SWorldPiece();
			    world.Terrain =
			        Terrain ? SWorldPiece{TerrainFile, "", LayerNames(Terrain, 0)} : SWorldPiece();
			    world.Level = Q3LevelNode ? SWorldPiece{LevelFile, LevelName, {}} : SWorldPiece();
			    world.Sky = SkyBox ? LayerNames(SkyBox, 0) : TextureNames();
			    KeepFlags(world.Plane, was.Plane, LevelPlane);
			    KeepFlags(world.Terrain, was.Terrain, Terrain);
			    KeepFlags(world.Level, was.Level, Q3LevelNode);
			    // A sky box built anew is shown and free, as any new piece.
			    world.SkyHidden = SkyBox && !SkyBox->isVisible();
			    world.SkyLocked = SkyBox && world.Sky == was.Sky && was.SkyLocked;
		    }
		    // A bar the user moved away from what it showed sets its colour
		    // (the frame's own read makes that a command of its own).
		    for (int i = 0; i < 6 && files; ++i)
			    if (bars[i] && bars[i]->getPos() != WorldWindows.ShownBars[i])
				    world.Bars[i] = WorldWindows.ShownBars[i] = bars[i]->getPos();
		    world.MarkerPosition = Positioner->getPosition();
		    world.MarkerRotation = Positioner->getRotation();
		    world.CurrentModel = current_model;
	    });
}

void CSceneEditor::SyncDocument()
{
	FilesChanged = false;
	for (int slot = 0; slot < MODEL_SLOTS; ++slot)
		SyncObject(slot, true);
	SyncWorld(true);
}

void CSceneEditor::AdoptLoaded()
{
	if (!FilesChanged)
		return;
	SyncDocument();
	if (!History.Open())
		RecordStep();
}

bool CSceneEditor::DocumentShowsScene()
{
	if (History.Open() || FilesChanged)
		return true;
	const SSceneState held = Document.State();
	const unsigned long long content = Document.Content;
	// The sync takes a colour bar the user moved as shown: the frame's own
	// read must still find it moved.
	s32 shownBars[6];
	std::copy(WorldWindows.ShownBars, WorldWindows.ShownBars + 6, shownBars);
	SyncDocument();
	const bool same = held == Document.State();
	Document.Replace(held, content);
	std::copy(shownBars, shownBars + 6, WorldWindows.ShownBars);
	return same;
}

void CSceneEditor::AdoptObject(int slot)
{
	if (slot < 0 || Applying)
		return;
	const unsigned long long version = Document.Version;
	SyncObject(slot, !Document.Object(slot));
	if (Document.Version != version && !History.Open())
		RecordStep();
}

int CSceneEditor::SlotOfNode(const scene::ISceneNode* node) const
{
	for (int slot = 0; slot < MODEL_SLOTS && node; ++slot)
		if (ObjectNode(ObjectAt(slot)) == node)
			return slot;
	return -1;
}

// ---------------------------------------------------------------------------
// Commands and edits

bool CSceneEditor::Execute(const SCommand& command)
{
	return RunCommand(command, true);
}

bool CSceneEditor::RunCommand(const SCommand& command, bool nodesFollow)
{
	// What an operation built reaches the document before a command acts,
	// and so does a marker moved directly.
	if (FilesChanged)
		SyncDocument();
	else
		SyncWorld(false);
	const SSceneState before = Document.State();
	const unsigned long long version = Document.Version;
	command.Apply(Document);
	if (Document.Version == version)
		return false;
	if (nodesFollow)
		ShowDocument(before, false);
	if (!command.What.empty())
		History.Name(command.What);
	if (!History.Open())
		RecordStep();
	return true;
}

void CSceneEditor::ShowDocument(const SSceneState& shown, bool refillWindows)
{
	// A rebuilt node is a new object: the selection stays on its slot.
	const int selected = SlotOf(SelectedModel);
	ApplyState(Document.State(), shown, refillWindows);
	if (!SelectedModel && selected >= 0 && ObjectNode(ObjectAt(selected)))
		SelectedModel = ObjectAt(selected);
	// The selection keeps the objects still there; the current one, when it
	// went, is the last of them.
	PruneSelection();
	if (!SelectedModel && !Selection.empty())
		SelectedModel = ObjectAt(*Selection.rbegin());
}

bool CSceneEditor::SetTransformOf(const CModel* object, const core::vector3df& position,
                                  const core::vector3df& rotation, const core::vector3df& scale)
{
	const int slot = SlotOf(object);
	AdoptObject(slot);
	return slot >= 0 && Execute(commands::SetTransform(slot, KeptInWorld(position),
	                                                   KeptInWorld(rotation), KeptScale(scale)));
}

bool CSceneEditor::EditSelected(std::function<void(SModelState&)> edit)
{
	const int slot = SlotOf(SelectedModel);
	AdoptObject(slot);
	return slot >= 0 && Execute(commands::EditObject(slot, std::move(edit)));
}

void CSceneEditor::BeginEdit(EEdit edit)
{
	History.Begin(edit);
}

void CSceneEditor::EndEdit(EEdit edit)
{
	if (History.IsOpen(edit) && History.End(edit))
		RecordStep();
}

bool CSceneEditor::RecordStep()
{
	if (FilesChanged)
		SyncDocument();
	const bool first = !History.Started();
	const bool recorded = History.Record(Document, L"");
	if (first || recorded)
		ShowEditMenu();
	return recorded;
}

bool CSceneEditor::CancelEdit()
{
	if (!History.Open() || !History.Started() || Loading)
		return false;
	AdoptLoaded();
	if (Document.Content == History.Shown().Content)
		return false;
	const CEditHistory::SStep& begun = History.Shown();
	const SSceneState now = Document.State();
	Document.Replace(begun.State, begun.Content);
	ShowDocument(now, true);
	History.Rename(L"");
	return true;
}

bool CSceneEditor::RollBackHeldChange()
{
	if (!Keys.AnyDown() || Loading)
		return false;
	// The keys stop where they are: a release ends nothing more.
	Keys.Stop();
	CancelEdit();
	EndEdit(EDIT_KEYS);
	return true;
}

void CSceneEditor::FollowEdits()
{
	if (Loading)
		return;
	const bool typing = CheckEditBoxFocus();
	if (typing && !History.IsOpen(EDIT_TYPING))
		BeginEdit(EDIT_TYPING);
	else if (!typing)
		EndEdit(EDIT_TYPING);
	AdoptLoaded();
}

void CSceneEditor::ShowEditMenu()
{
	if (!EditMenu)
		return;
	const std::wstring undone = History.UndoName(), redone = History.RedoName();
	EditMenu->setItemText(0, (undone.empty() ? L"Undo" : L"Undo " + undone).c_str());
	EditMenu->setItemEnabled(0, History.CanUndo());
	EditMenu->setItemText(1, (redone.empty() ? L"Redo" : L"Redo " + redone).c_str());
	EditMenu->setItemEnabled(1, History.CanRedo());
}

// ---------------------------------------------------------------------------
// Undo and redo

bool CSceneEditor::Undo()
{
	return StepTo(false);
}

bool CSceneEditor::Redo()
{
	return StepTo(true);
}

bool CSceneEditor::StepTo(bool forward)
{
	if (Loading)
		return false;
	// A change still going on is a step of its own, taken back first; a
	// redo after a new change finds nothing left to redo.
	History.EndAll();
	RecordStep();
	const CEditHistory::SStep* step = forward ? History.Forward() : History.Back();
	if (!step)
		return false;
	const SSceneState shown = Document.State();
	Document.Replace(step->State, step->Content);
	ShowDocument(shown, true);
	// What could not be rebuilt (a file gone since) leaves the document.
	SceneChanged();
	AdoptLoaded();
	ShowEditMenu();
	return true;
}

// Makes the scene `target`, touching only what differs from `current`.
void CSceneEditor::ApplyState(const SSceneState& target, const SSceneState& current,
                              bool refillWindows)
{
	const bool applying = Applying;
	Applying = true;
	std::vector<std::wstring> ignored;
	MessageLog = &ignored;
	for (int slot = 0; slot < MODEL_SLOTS; ++slot)
		if (target.Models[slot] != current.Models[slot])
			ApplyModel(slot, target.Models[slot].get(), current.Models[slot].get());
	if (target.World != current.World)
		ApplyWorld(*target.World, *current.World);
	LinkTree();
	MessageLog = 0;
	Applying = applying;
	// The windows show the selection as it is now.
	if (SelectedModel && refillWindows)
		SelectNewSceneNode(false);
}

void CSceneEditor::ApplyModel(int slot, const SModelState* state, const SModelState* shown)
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
	for (u32 layer = 0; layer < 2; ++layer)
		if (!shown || shown->Textures[layer] != state->Textures[layer])
			ApplyTextures(kind->NodeOf(*object), layer, state->Textures[layer]);
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
	ApplyKeptMaterials(node, record.KeptMaterials);
	ApplyTextures(node, 0, record.Textures[0]);
	ApplyTextures(node, 1, record.Textures[1]);
	ApplyModelFields(*object, record);
	// An object an operation makes (not the document) gets a name no other
	// object has, and hangs from its parent once that is built.
	if (!Applying && record.Name.empty())
		recordfields::SetName(
		    *object, scenetree::SuggestedName(ShownNames(), scenetree::BaseName(record)).c_str());
	if (!Applying)
		LinkTree();
	SceneChanged();
	return object;
}

// The material settings another tool's scene gave the node, each material
// filled from them as a game's loadScene fills it (the editor's own fields
// and textures follow).
void CSceneEditor::ApplyKeptMaterials(scene::ISceneNode* node, const core::stringw& kept)
{
	if (kept.empty())
		return;
	const std::vector<io::IAttributes*> lists =
	    scenefile::ReadEngineAttributes(_device->getFileSystem(), kept.c_str());
	for (u32 i = 0; i < lists.size(); ++i)
	{
		if (i < node->getMaterialCount())
			_driver->fillMaterialStructureFromAttributes(node->getMaterial(i), lists[i]);
		lists[i]->drop();
	}
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
	// A kind that adjusted what it was given (a frame past its mesh's last,
	// a named animation's frames, a record without values) hands what it
	// shows back to the document before the step is kept.
	if (!SameBits(state.Values, recordfields::ShownValues(model)))
		FilesChanged = true;
}

void CSceneEditor::ApplyWorld(const SWorldState& target, const SWorldState& current)
{
	// Everything that goes comes out first, so a plane and a terrain never
	// meet on the way.
	if (!target.Terrain.SameBuild(current.Terrain) && Terrain)
		DeleteTerrain();
	if (!target.Plane.SameBuild(current.Plane) && LevelPlane)
		DeletePlane();
	if (!target.Level.SameBuild(current.Level) && Q3LevelNode)
		DeleteQ3Level();
	if (target.Sky != current.Sky && SkyBox)
	{
		SkyBox->remove();
		SkyBox = 0;
	}
	if (!target.Terrain.SameBuild(current.Terrain) && !target.Terrain.File.empty() &&
	    LoadTerrain(target.Terrain.File.c_str()))
		ApplyTextures(Terrain, 0, target.Terrain.Textures);
	if (!target.Plane.SameBuild(current.Plane) && !target.Plane.File.empty())
	{
		scene::IAnimatedMesh* mesh = LoadMeshSafely(target.Plane.File.c_str());
		if (mesh && PlacePlane(mesh))
			ApplyTextures(LevelPlane, 0, target.Plane.Textures);
	}
	if (!target.Level.SameBuild(current.Level) && !target.Level.File.empty())
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
	if (!std::equal(target.Bars, target.Bars + 6, WorldWindows.ShownBars))
		WorldWindows.ShowColourBars(target.Bars);
	// Loading a level may have moved the marker on the way.
	if (!SameBits(target.MarkerPosition, Positioner->getPosition()))
		Positioner->setPosition(target.MarkerPosition);
	if (!SameBits(target.MarkerRotation, Positioner->getRotation()))
		Positioner->setRotation(target.MarkerRotation);
	current_model = target.CurrentModel;
	ShowWorldFlags(target);
}

void CSceneEditor::ShowWorldFlags(const SWorldState& world)
{
	const std::pair<scene::ISceneNode*, bool> pieces[] = {{LevelPlane, world.Plane.Hidden},
	                                                      {Terrain, world.Terrain.Hidden},
	                                                      {Q3LevelNode, world.Level.Hidden},
	                                                      {SkyBox, world.SkyHidden}};
	for (const auto& piece : pieces)
		if (piece.first && piece.first->isVisible() == piece.second)
			piece.first->setVisible(!piece.second);
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
