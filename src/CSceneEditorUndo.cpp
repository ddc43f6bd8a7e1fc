// Undo and redo. The history holds the scene after each step (SceneState.h);
// a step ends when the editor is quiet again after a change (no movement
// key, mouse button or open text edit), so that a held key, a drag or a
// typed name is one step. Undo and redo rebuild only what differs.
#include "CSceneEditor.h"

#include "EditorIds.h"
#include "ModelShadow.h"

namespace
{
// A record equal to the one before is shared with it.
template <typename State>
std::shared_ptr<const State> Shared(State&& state, const std::shared_ptr<const State>& before)
{
	if (before && *before == state)
		return before;
	return std::make_shared<const State>(std::move(state));
}
} // namespace

// ---------------------------------------------------------------------------
// Recording

SModelState CSceneEditor::ModelStateOf(const CModel& model) const
{
	scene::IAnimatedMeshSceneNode* node = model.AnimatedNode;
	SModelState state;
	state.Mesh = MeshFileOf(node);
	state.Textures[0] = LayerNames(node, 0);
	state.Textures[1] = LayerNames(node, 1);
	state.Type = model.MODEL_TYPE;
	state.Material = model.MaterialType;
	state.Shadow = model.Shadow;
	state.Fog = model.Fog;
	state.Lighting = model.Lighting;
	state.Wireframe = model.Wireframe;
	state.FileName = model.FileName;
	state.TextureName = model.TextureName;
	state.TextureName2 = model.TextureName2;
	state.Position = node->getPosition();
	state.Rotation = node->getRotation();
	state.Scale = node->getScale();
	return state;
}

std::shared_ptr<const SModelState> CSceneEditor::CaptureModel(int slot,
                                                              const SSceneState& previous) const
{
	const CModel* model = Model[slot];
	if (!model || !model->AnimatedNode)
		return 0;
	return Shared(ModelStateOf(*model), previous.Models[slot]);
}

SWorldState CSceneEditor::WorldStateOf() const
{
	SWorldState world;
	if (LevelPlane)
		world.Plane = {MeshFileOf(LevelPlane), "", LayerNames(LevelPlane, 0)};
	if (Terrain)
		world.Terrain = {TerrainFile, "", LayerNames(Terrain, 0)};
	if (Q3LevelNode)
		world.Level = {LevelFile, LevelName, {}};
	if (SkyBox)
		world.Sky = LayerNames(SkyBox, 0);
	for (int i = 0; i < 6; ++i)
		world.Bars[i] = ColourBars()[i]->getPos();
	world.MarkerPosition = Positioner->getPosition();
	world.MarkerRotation = Positioner->getRotation();
	world.CurrentModel = current_model;
	return world;
}

std::shared_ptr<const SWorldState> CSceneEditor::CaptureWorld(const SSceneState& previous) const
{
	return Shared(WorldStateOf(), previous.World);
}

SSceneState CSceneEditor::CaptureState(const SSceneState& previous) const
{
	SSceneState state;
	for (int slot = 1; slot < MODEL_SLOTS; ++slot)
		state.Models[slot] = CaptureModel(slot, previous);
	state.World = CaptureWorld(previous);
	return state;
}

bool CSceneEditor::RecordStep()
{
	StateDirty = false;
	// What the model window holds belongs to the step.
	UpdateSelectedModel();
	if (History.empty())
	{
		History.push_back(CaptureState(SSceneState()));
		HistoryPosition = 0;
		return false;
	}
	const SSceneState& shown = History[HistoryPosition];
	SSceneState live = CaptureState(shown);
	bool same = live.World == shown.World;
	for (int slot = 1; slot < MODEL_SLOTS && same; ++slot)
		same = live.Models[slot] == shown.Models[slot];
	if (same)
		return false;
	// A new change drops the steps that were taken back.
	History.erase(History.begin() + HistoryPosition + 1, History.end());
	History.push_back(std::move(live));
	if (History.size() > UNDO_STEPS + 1)
		History.pop_front();
	HistoryPosition = History.size() - 1;
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
	ApplyState(History[HistoryPosition - 1], History[HistoryPosition]);
	--HistoryPosition;
	return true;
}

bool CSceneEditor::Redo()
{
	if (Loading)
		return false;
	RecordStep(); // a new change: nothing is left to redo
	if (HistoryPosition + 1 >= History.size())
		return false;
	ApplyState(History[HistoryPosition + 1], History[HistoryPosition]);
	++HistoryPosition;
	return true;
}

// Makes the scene `target`, touching only what differs from `current`.
void CSceneEditor::ApplyState(const SSceneState& target, const SSceneState& current)
{
	std::vector<std::wstring> ignored;
	MessageLog = &ignored;
	for (int slot = 1; slot < MODEL_SLOTS; ++slot)
		if (target.Models[slot] != current.Models[slot])
			ApplyModel(slot, target.Models[slot].get());
	if (target.World != current.World)
		ApplyWorld(*target.World, *current.World);
	MessageLog = 0;
	// The model window shows the selection as it is now.
	if (SelectedModel)
		FillModelWindow(*SelectedModel);
	StateDirty = false;
}

void CSceneEditor::ApplyModel(int slot, const SModelState* state)
{
	CModel* model = Model[slot];
	const bool present = model && model->AnimatedNode;
	const bool sameMesh = present && state && MeshFileOf(model->AnimatedNode) == state->Mesh;
	if (present && !sameMesh)
	{
		if (SelectedModel == model)
			SelectedModel = 0;
		model->remove();
	}
	if (!state)
		return;
	if (!sameMesh)
	{
		scene::IAnimatedMesh* mesh = LoadMeshSafely(state->Mesh.c_str());
		if (!mesh)
			return;
		model = PlaceModel(slot, mesh);
	}
	// Meshes and textures come from the engine's caches, or are loaded
	// again through the crash-proof path when the scene has let them go.
	ApplyTextures(model->AnimatedNode, 0, state->Textures[0]);
	ApplyTextures(model->AnimatedNode, 1, state->Textures[1]);
	ApplyModelFields(*model, *state);
}

// A model's transform, names, material and flags (not its mesh or textures).
void CSceneEditor::ApplyModelFields(CModel& model, const SModelState& state)
{
	scene::IAnimatedMeshSceneNode* node = model.AnimatedNode;
	node->setPosition(state.Position);
	node->setRotation(state.Rotation);
	node->setScale(state.Scale);
	model.MODEL_TYPE = state.Type;
	model.FileName = state.FileName;
	model.TextureName = state.TextureName;
	model.TextureName2 = state.TextureName2;
	model.setMaterialType(state.Material);
	model.setFog(state.Fog);
	model.setLighting(state.Lighting);
	model.setWireframe(state.Wireframe);
	model.Shadow = state.Shadow;
	MatchShadow(node, model.Shadow);
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
	}
	for (int i = 0; i < 6; ++i)
		ColourBars()[i]->setPos(target.Bars[i]);
	Positioner->setPosition(target.MarkerPosition);
	Positioner->setRotation(target.MarkerRotation);
	current_model = target.CurrentModel;
}

void CSceneEditor::ApplyTextures(scene::ISceneNode* node, u32 layer, const TextureNames& names)
{
	for (u32 i = 0; i < node->getMaterialCount() && i < names.size(); ++i)
		node->getMaterial(i).setTexture(layer,
		                                names[i].empty() ? 0 : LoadTextureSafely(names[i].c_str()));
}
