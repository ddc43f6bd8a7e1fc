// CSceneEditor: the one editor object. It holds the engine, the table of
// editable objects, the world geometry, the selection, the key table and the
// tool windows' controls, and implements every editor operation.
#ifndef TOLVANE_CSCENEEDITOR_H
#define TOLVANE_CSCENEEDITOR_H

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <irrlicht.h>
#include <set>
#include <string>
#include <vector>

#include "AssetShelf.h"
#include "CModel.h"
#include "EditorView.h"
#include "FileLoader.h"
#include "Gizmo.h"
#include "GltfExportWindow.h"
#include "LoadCheck.h"
#include "LoadedData.h"
#include "ModelWindow.h"
#include "MovementKeys.h"
#include "ParticleWindow.h"
#include "PropertiesWindow.h"
#include "RecentScenes.h"
#include "Recovery.h"
#include "Commands.h"
#include "History.h"
#include "Quake3Level.h"
#include "SceneFile.h"
#include "SceneFiles.h"
#include "SceneObjectsWindow.h"
#include "TransformWindow.h"
#include "WaterWindow.h"
#include "WorldWindows.h"
#include "WorkKeeper.h"

using namespace irr;

class CTLVEventRec;
struct SObjectKind;
class COrbitCameraAnimator;

class CSceneEditor
{
public:
	//! Slots of the object table; slot 0 is never filled.
	static const int MODEL_SLOTS = 100;
	//! Entries of the key table: engine key codes 0 to 254.
	static const int KEY_ENTRIES = 255;

	CSceneEditor();
	~CSceneEditor();

	//! Starts the engine and builds the editor. On failure the device may be
	//! null and StartupError says why; the caller must then stop.
	void Init(video::E_DRIVER_TYPE driverType = video::EDT_OPENGL);
	void Render();
	void ClearScene();
	bool Update();

	void CreateFileProperties();
	void CreateWorldDialogs();
	void CreateObjectDialogs();
	void CreateHelpDialogs();
	void CreateWaterProperties();

	//! Whether an edit box on screen has the focus; a focus left behind in a
	//! closed window is dropped first.
	bool CheckEditBoxFocus();

	bool CreateNewModel(const char* filename);
	bool LoadModelSkin(const char* filename);
	//! The node whose textures "Selected Model Properties" loads: the
	//! selection's, when that window edits its kind (a model, a cube...).
	scene::ISceneNode* NodeOfModelWindow() const;
	bool LoadModelSkin2(const char* filename);
	bool LoadWaterTexture1(const char* filename);
	//! Texture layer 1 of the selected water surface ("Load Skin2" of the water window).
	bool LoadWaterTexture2(const char* filename);
	bool CreateNewWater();
	//! An object of a kind built from its values alone (a light, a cube...)
	//! at the placement marker, in the next free slot, selected; one undo
	//! step. A sky dome takes the place of the sky box or another dome.
	bool AddAtMarker(s32 type);
	void DeleteSelectedModel();
	//! The sky box and every sky dome gone (commands, in the step going on).
	void RemoveSkies();

	//! A particle system with the "Particle Editor" window's settings at
	//! the placement marker, in the next free slot, selected ("Add").
	bool CreateNewParticleSystem();
	//! Sets the window to a preset ("Fire", "Smoke", "Snow", "Fountain",
	//! "Sparks"), as the user's choice in its list does: it reaches the
	//! selected system while the window edits it. False for an unknown name.
	bool SetParticlePreset(const char* name);
	//! The texture of the window's settings and of the selected particle
	//! system ("Load Texture").
	bool LoadParticleTexture(const char* filename);
	//! Whether a shown particle system is in the camera's view: its particles
	//! move, so the scene changes from frame to frame.
	bool AnimationInView() const;

	bool LoadLevelPlane(const char* filename);
	bool LoadPlaneTexture(const char* filename);
	//! Loads a level from a .bsp file or a .pk3/.zip archive; an archive
	//! holding several levels opens "Choose a Level" and loads nothing yet.
	bool LoadQ3Level(const char* filename);
	//! Loads one level of an archive, named as "Choose a Level" lists it.
	bool LoadQ3LevelFromArchive(const char* archive, const char* levelName);
	bool LoadSkyBox();
	void DeletePlane();
	void DeleteQ3Level();
	//! A terrain from a grey-scale height map, centred on the origin.
	bool LoadTerrain(const char* filename);
	//! Tiles a texture over the terrain (layer 0).
	bool LoadTerrainTexture(const char* filename);
	void DeleteTerrain();

	void UpdateSelectedModel();
	//! `mouse`: picks the object under the cursor; `toggle` (Control held)
	//! adds it to the selection or takes it out instead of selecting it alone.
	void SelectNewSceneNode(bool mouse, bool toggle = false);

	bool SaveLevel();
	//! Where "Save Options" exports to, as a prefix of the file names: the
	//! field's text, or the working directory ("") while it holds the
	//! default text. False when the text is no valid file name.
	bool ExportFolder(std::string& prefix) const;

	//! Writes the whole scene as an .irr scene file; a game loads its models
	//! with the engine's loadScene.
	//! Writes the scene; a file of which parts were left out when it was
	//! opened is first asked about, unless `replaceAnswered`.
	bool SaveScene(const char* filename, bool replaceAnswered = false)
	{
		return Files.Save(filename, replaceAnswered);
	}
	//! The answer to "Replace <file>?": Yes saves over it.
	bool OnReplaceAnswered(bool yes) { return Files.OnReplaceAnswered(yes); }
	//! Saving and opening scene files, "Save Scene" and "Open Recent".
	CSceneFiles Files{*this};
	//! "File", "Open Recent": the last scene files opened or saved.
	CRecentScenes& RecentScenes = Files.Recent;
	gui::IGUIContextMenu*& RecentMenu = Files.RecentMenu;
	//! "Edit": "Undo <what>" and "Redo <what>", as the history stands.
	gui::IGUIContextMenu* EditMenu = 0;
	void ShowEditMenu();
	//! Fills "Open Recent" from the list; files that are gone are dropped.
	void ShowRecentScenes() { Files.ShowRecent(); }
	//! An entry of "Open Recent" (its command id less ID_RECENT_SCENE_FIRST).
	bool OpenRecentScene(u32 entry) { return Files.OpenRecent(entry); }
	//! Replaces the scene with a scene file's.
	bool OpenScene(const char* filename) { return Files.Open(filename); }
	//! A file named on the command line, by its type: a scene file (.irr)
	//! is opened, a Quake 3 level (.pk3, .zip, .bsp) loaded, anything else
	//! added as a model. Failures are reported in a message box.
	bool OpenFile(const char* filename);

	//! Takes back the last change, or brings back the last change taken
	//! back; false when there is none.
	bool Undo();
	bool Redo();
	//! Steps the history keeps; older ones are dropped.
	static constexpr size_t UNDO_STEPS = CEditHistory::STEPS;

	//! Changes the scene: the document takes the command and the engine's
	//! nodes follow it. One undo step, or part of the edit going on; false
	//! when it changed nothing.
	bool Execute(const SCommand& command);
	//! Moves, turns and sizes an object (kept within the limits a scene
	//! file holds), as the keys, the handles and "Transform" do.
	bool SetTransformOf(const CModel* object, const core::vector3df& position,
	                    const core::vector3df& rotation, const core::vector3df& scale);
	//! Changes the selected object's record through `edit`.
	bool EditSelected(std::function<void(SModelState&)> edit);
	//! An edit that goes on (a held key, a drag, a typed field) begins or
	//! ends; its commands are one undo step, taken when the last open edit
	//! ends.
	void BeginEdit(EEdit edit);
	void EndEdit(EEdit edit);
	//! Escape: the edits going on are taken back to where they began; false
	//! when none changed anything.
	bool CancelEdit();
	//! Whether the document holds what the nodes show, as it always should
	//! between edits (true while an edit or a load's hand-over is pending).
	bool DocumentShowsScene();

	//! The three-line text of the "Scene Information" window.
	core::stringw SceneInfoText() const;
	//! The colour the frame is cleared to: the "Editor Properties" bars.
	video::SColor SceneColour() const;
	//! Update's own work, without the device's run step.
	void UpdateState();

	//! The scene as plain values; the engine's nodes and the windows follow
	//! it, and what changes an object or the world reaches it within a frame.
	CSceneDocument Document;
	//! The object in a slot of the document's table: the water surface in
	//! entry 0, models in 1 to 99.
	CModel* ObjectAt(int slot) const;
	//! Hands what the engine's nodes hold now to the document: the objects,
	//! the world pieces, the marker and the colour bars. Operations that
	//! build nodes themselves (loading a file) end with it; code that
	//! changes nodes directly must call it, as no frame reads them back.
	void SyncDocument();
	//! Asks for a frame; whether this pass of the main loop draws (the view's).
	void RequestFrame() { View.RequestFrame(); }
	bool FrameNeeded() const { return View.FrameNeeded(); }
	//! The key table changed: a movement key that went down takes its first
	//! step, one that went up the steps its hold still owes.
	void KeysChanged() { Keys.KeysChanged(); }
	//! The clock that times frames and steps (seconds), and a plain wait;
	//! tests put in a clock of their own.
	std::function<double()> Now;
	std::function<void(double seconds)> Sleep;
	//! Steps a second of holding a movement key, whatever the frame rate.
	static constexpr double STEPS_PER_SECOND = 60.0;
	//! Frames drawn a second at most (where vertical sync does not hold).
	static constexpr double MAX_FRAMES_PER_SECOND = 60.0;
	//! The longest wait of a pass at rest before it looks again.
	static constexpr double MAX_REST_SECONDS = 1.0;
	//! How long frames go on after the window's size changed.
	static constexpr double RESIZE_SETTLE_SECONDS = 0.5;

	CTLVEventRec* event_rec;
	scene::ICameraSceneNode* Camera;
	scene::ISceneNode* Positioner;
	CModel* Water;
	CModel* Model[MODEL_SLOTS];
	scene::ITerrainSceneNode* Terrain;
	scene::ISceneNode* LevelPlane;
	scene::ISceneNode* Q3LevelNode;
	scene::IAnimatedMesh* Q3LevelMesh;
	scene::ISceneNode* SkyBox;
	int current_model;
	CModel* SelectedModel;
	core::list<scene::ISceneNode*> listNode;
	bool CameraMode;
	bool key[KEY_ENTRIES];
	IrrlichtDevice* _device;
	scene::ISceneManager* _smgr;
	video::IVideoDriver* _driver;
	gui::IGUIEnvironment* _gui;
	gui::IGUIWindow* EditorInfoWindow;
	gui::IGUIWindow* SaveOptionsWindow;
	gui::IGUIStaticText* EditorInfoText;
	gui::IGUIComboBox* mpw_render_type;
	gui::IGUIComboBox* wpw_render_type;
	gui::IGUICheckBox* mpw_shadowbox;
	gui::IGUICheckBox* mpw_fogbox;
	gui::IGUICheckBox* mpw_wirebox;
	gui::IGUICheckBox* mpw_lightbox;
	gui::IGUICheckBox* wmw_cameramodebox;
	gui::IGUIEditBox* sbw_editboxDir;
	gui::IGUIEditBox* sbw_editboxUp;
	gui::IGUIEditBox* sbw_editboxDown;
	gui::IGUIEditBox* sbw_editboxLeft;
	gui::IGUIEditBox* sbw_editboxRight;
	gui::IGUIEditBox* sbw_editboxFront;
	gui::IGUIEditBox* sbw_editboxBack;
	gui::IGUIStaticText* spw_refreshred;
	gui::IGUIStaticText* spw_refreshgreen;
	gui::IGUIStaticText* spw_refreshblue;
	gui::IGUIScrollBar* spw_refresh_redbar;
	gui::IGUIScrollBar* spw_refresh_greenbar;
	gui::IGUIScrollBar* spw_refresh_bluebar;
	gui::IGUIStaticText* sbw_fogred;
	gui::IGUIStaticText* sbw_foggreen;
	gui::IGUIStaticText* sbw_fogblue;
	gui::IGUIScrollBar* sbw_red;
	gui::IGUIScrollBar* sbw_green;
	gui::IGUIScrollBar* sbw_blue;
	gui::IGUIScrollBar* mpw_scaleX;
	gui::IGUIScrollBar* mpw_scaleY;
	gui::IGUIScrollBar* mpw_scaleZ;
	gui::IGUIStaticText* mpw_scale_x;
	gui::IGUIStaticText* mpw_scale_y;
	gui::IGUIStaticText* mpw_scale_z;
	gui::IGUIEditBox* mpw_boxFileName;
	gui::IGUIEditBox* mpw_boxTexture;
	gui::IGUIEditBox* mpw_boxTexture2;
	gui::IGUIEditBox* sow_editboxDir;

	//! Whether the scene differs from what was last saved or opened.
	bool HasUnsavedChanges() const;
	//! Writes the recovery file now, as the autosave does; false on failure.
	bool WriteRecovery() { return Keeper.WriteRecovery(); }
	//! The autosave writes in a thread of its own; this waits for it (false
	//! when it failed).
	bool WaitForAutosave() { return Keeper.WaitForAutosave(); }
	//! The file this editor keeps unsaved work in.
	std::string RecoveryFile() const { return Keeper.RecoveryFile(); }
	//! "File", "Quit" and the window's close button: quits at once when
	//! nothing is unsaved, else asks first.
	void RequestQuit() { Keeper.RequestQuit(); }
	//! The window's caption: "0.0.7", or "<scene file> - 0.0.7" with a "*"
	//! after the name while there are unsaved changes.
	const std::wstring& WindowCaption() const { return Keeper.WindowCaption(); }
	//! Unsaved work waits at most this long for the recovery file.
	static constexpr double AUTOSAVE_SECONDS = 30.0;
	//! Seconds until the autosave is due (by Now), negative when none is:
	//! the main loop at rest wakes up by then.
	double SecondsToAutosave() const { return Keeper.SecondsToAutosave(); }

	//! Opens the editor's modal message box with an OK button.
	void ShowMessage(const wchar_t* caption, const wchar_t* text);

	//! Loads what the user chose in a separate process, which hands over
	//! what it loaded as plain data that is checked before it is built
	//! into the engine's caches; null when it cannot be loaded.
	scene::IAnimatedMesh* LoadMeshSafely(const char* filename);
	video::ITexture* LoadTextureSafely(const char* filename);

	//! Makes an object the selection and shows it in the model window.
	void Select(CModel* model);

	// Selecting many. SelectedModel is the current object (the last one
	// clicked), which the windows show; Selection holds every selected slot.
	//! Whether a slot holding an object is selected.
	bool IsSelected(int slot) const;
	//! Adds an object to the selection; it becomes the current one.
	void AddToSelection(int slot);
	//! Adds an object, or takes it out: the current one is then the last
	//! still selected, or none.
	void ToggleSelected(int slot);
	//! The selected slots that hold objects, in slot order (none while no
	//! object is current).
	std::vector<int> SelectedSlots() const;
	//! The selected slots that no selected ancestor of theirs carries along.
	std::vector<int> SelectionRoots() const;
	//! Drops the slots that hold no object any more.
	void PruneSelection();
	std::set<int> Selection;
	//! Delete: every selected object with what hangs from it, one step.
	bool DeleteSelection();
	//! Control+D: a copy of every selected object with what hangs from it,
	//! one step; the copies are selected.
	bool DuplicateSelection();
	//! The middle of the selected objects' places in the world.
	core::vector3df SelectionCentre() const;
	//! The selected objects that nothing selected carries, as they stand.
	std::vector<scenetree::SHeld> HeldSelection() const;
	//! The held objects scaled by `factor` about `pivot` (each in its own
	//! axes), then moved and turned by `change` in the world; commands in
	//! the step going on.
	bool PlaceHeld(const std::vector<scenetree::SHeld>& held, const core::matrix4& change,
	               const core::vector3df& pivot,
	               const core::vector3df& factor = core::vector3df(1, 1, 1));
	//! The current object's change to these values, made to every selected
	//! object: the same move, the turn and scale about the selection's
	//! centre; one step, or part of the edit going on.
	bool ChangeSelectionLike(const core::vector3df& position, const core::vector3df& rotation,
	                         const core::vector3df& scale, bool oneStep = true);

	//! Clears the whole key table (the window lost the input focus).
	void ReleaseAllKeys() { Keys.ReleaseAll(); }

	//! Places the selected object exactly, as the "Transform" window does:
	//! one undo step; false with nothing selected, a value that is not finite
	//! or a scale of 0.
	bool SetSelectedTransform(const core::vector3df& position, const core::vector3df& rotation,
	                          const core::vector3df& scale);
	//! A copy of the selected model (mesh, textures, material, flags, names,
	//! rotation, scale) one grid step along X, in the next free slot, and
	//! selected; one undo step. False for no model selected or a full scene.
	bool DuplicateSelected();
	//! End: each object the selection holds (with what hangs from it), or
	//! the marker with nothing selected, falls straight down onto the first
	//! surface below it, all as one step; false when none has one.
	bool DropToFloor();
	//! One object with its subtree dropped so (a command in the step going on).
	bool DropObject(int slot);
	//! How far the lowest point of these nodes' boxes falls to the first
	//! surface below it that is none of theirs; false when there is none.
	bool FallBelow(const std::vector<scene::ISceneNode*>& falling, f32& fall);
	//! How far along a ray its first surface of the level, terrain, plane or
	//! a model shown lies, or 0 when it meets none.
	f32 SurfaceDistance(const core::line3df& ray);
	//! The first point of those surfaces on a ray, but for `except`'s own
	//! (null: none); false when it meets none.
	bool SurfacePoint(const core::line3df& ray, const scene::ISceneNode* except,
	                  core::vector3df& point);
	//! The slot that holds an object, or -1.
	int SlotOf(const CModel* object) const;

	// The tree of objects. Each is one undo step.
	//! The object hangs from `parent` (-1: from nothing), keeping its place
	//! in the world; false when that changes nothing or would make it its
	//! own ancestor.
	bool SetParent(int slot, int parent);
	//! "Object", "Add", "Empty": an empty at the marker, selected.
	bool CreateNewEmpty();
	//! "Object", "Group": the selected objects (those nothing selected
	//! carries) under a new empty, at the object's place or the middle of
	//! several, each keeping its place in the world; the empty is selected.
	bool GroupSelected();
	//! The empty that groups several objects: at the selection's middle,
	//! hanging from their parent when they share one.
	SModelState GroupEmpty(const std::vector<int>& members, const core::stringw& name);
	//! "Object", "Ungroup": what hangs from the selected object hangs from
	//! its parent, keeping its place; a selected empty goes.
	bool UngroupSelected();
	//! Gives an object a name; false for no object or the same name.
	bool RenameObject(int slot, const core::stringw& name);
	//! "Transform", the handles and "Scene Objects".
	CTransformWindow Transform{*this};
	CGizmo Handles{*this};
	CSceneObjectsWindow ObjectList{*this};
	//! Frames on demand and the camera's framing.
	CEditorView View{*this};
	//! "Assets": a folder's models and images as pictures.
	CAssetShelf Shelf{*this};
	CGltfExportWindow GltfExport{*this};
	//! "Selected Model Properties", "Selected Water Properties" and
	//! "Particle Editor".
	CModelWindow ModelProperties{*this};
	CWaterWindow WaterProperties{*this};
	CParticleWindow ParticleEditor{*this};
	//! "Properties": any kind's values, laid out from its description.
	CPropertiesWindow Properties{*this};
	//! "World Properties", "SkyBox Setup" and "Editor Properties".
	CWorldWindows WorldWindows{*this};

	//! Loading through the helper process, and its checker of files.
	CFileLoader Loader{*this};
	CLoadChecker& LoadChecker = Loader.Checker;

	//! Why Init stopped early (no device, a start-up data file missing);
	//! empty when start-up succeeded.
	std::string StartupError;

	static gui::IGUIWindow* ScenePropertiesWindow;
	static gui::IGUIWindow* WorldMainWindow;
	static gui::IGUIWindow* AboutWindow;
	static gui::IGUIWindow* ModelPropertiesWindow;
	static gui::IGUIWindow* SkyBoxWindow;
	static gui::IGUIWindow* WaterPropertiesWindow;
	static gui::IGUIWindow* ParticleWindow;

private:
	bool CreateDevice(video::E_DRIVER_TYPE driverType);
	//! What can be stood on or pointed at: the level, terrain, plane and
	//! the mesh models that are shown.
	std::vector<scene::ISceneNode*> SurfaceNodes() const;
	void MakeGuiOpaque();
	bool LoadGuiFont();
	void CreateMenuBar();
	void CreateCamera();
	bool CreatePositioner();
	void CreateSceneInfoWindow();
	void SetStartupError(const std::string& what);
	void UpdateValueLabels();
	void ApplyFog();

	gui::IGUIWindow* AddToolWindow(const core::rect<s32>& rect, const wchar_t* caption, s32 id);
	gui::IGUIStaticText* AddLabel(const wchar_t* text, const core::rect<s32>& rect,
	                              gui::IGUIElement* parent, bool wordWrap = true);
	gui::IGUIStaticText* AddValueLabel(const wchar_t* text, const core::rect<s32>& rect,
	                                   gui::IGUIElement* parent);
	gui::IGUIComboBox* AddMaterialList(gui::IGUIElement* window, s32 id);
	gui::IGUIWindow* AddObjectWindow(const wchar_t* caption, const s32 ids[5],
	                                 gui::IGUIComboBox*& materials);

	scene::ISceneNode* NodeUnderCursor();
	struct SPick
	{
		scene::ISceneNode* node;
		int rank;
		f32 distance;
	};
	void PickAlongRay(scene::ISceneNode* parent, const core::line3df& ray, SPick& best) const;
	//! Whether a node is a locked object or world piece: drawn, never picked.
	bool NodeLocked(const scene::ISceneNode* node) const;
	//! The world pieces' nodes hidden or shown as `world` says.
	void ShowWorldFlags(const SWorldState& world);
	bool LoadTextureInto(scene::ISceneNode* node, u32 layer, const char* filename,
	                     const wchar_t* noSelectionText);
	//! `acquired`: the level, when the helper already handed it over.
	bool PlaceQ3Level(const std::string& chosen, const std::string& levelName,
	                  loaded::SContent* acquired);
	bool PlaceQ3Level(const std::string& chosen, const std::string& levelName, bool)
	{
		return PlaceQ3Level(chosen, levelName, nullptr);
	}
	scene::IAnimatedMesh* AcquireLevel(const std::string& chosen, const std::string& levelName,
	                                   loaded::SContent* acquired);
	void ShowLevelChooser(const std::string& archive, const std::vector<std::string>& names);
	//! "Ok" of "Choose a Level": loads the selected level.
	bool LoadChosenLevel();
	void CreateLevelChooser();
	void KeepInView(scene::ISceneNode* node);

	//! What the world geometry was loaded from.
	std::string TerrainFile;
	std::string LevelFile;
	std::string LevelName;
	//! While set, message boxes are collected here instead of shown.
	std::vector<std::wstring>* MessageLog;
	std::string MeshFileOf(scene::ISceneNode* node) const;
	//! The scene colour's and the fog colour's bars, red, green, blue each.
	std::array<gui::IGUIScrollBar*, 6> ColourBars() const;
	//! "SkyBox Setup": the folder, then the faces up, down, left, right,
	//! front and back.
	std::array<gui::IGUIEditBox*, 7> SkyBoxFields() const;
	//! The document takes what "SkyBox Setup" names now.
	void KeepSkyBoxTexts();
	bool PlacePlane(scene::IAnimatedMesh* mesh);
	//! An operation changed the scene's files, nodes or textures.
	void SceneChanged();
	//! Whether the next sync reads meshes and textures too.
	bool FilesChanged = false;
	void SyncObject(int slot, bool files);
	void SyncWorld(bool files);
	//! The slot of the object a node shows, or -1.
	int SlotOfNode(const scene::ISceneNode* node) const;
	//! A new node for a record in its slot, with its textures and fields;
	//! null when its files cannot be loaded.
	CModel* BuildObject(int slot, const SModelState& record);
	bool SameBuild(const SObjectKind& kind, const CModel& object, const SModelState& record);
	friend struct SKindModel;
	friend struct SKindWater;
	friend struct SKindParticles;
	friend struct SKindEmpty;
	friend void DrawEmpties(CSceneEditor& editor);
	//! Each object's node hangs from its parent's node, as the document says.
	void LinkTree();
	//! The objects' names as their nodes hold them now (all a record holds).
	SSceneState ShownNames() const;
	//! The slot free for a new object, or 0 after "The scene is full".
	int FreeSlotOrSay();

	template <typename Node> void DeleteWorldNode(Node*& field, const wchar_t* missing);

	CEditHistory History;
	//! Mouse buttons held: a drag is still going on.
	u32 MouseButtonsHeld;
	//! Adds the scene as a step when it differs from the step shown.
	bool RecordStep();
	//! The document takes a command; the nodes follow it unless the
	//! command's operation built them already.
	bool RunCommand(const SCommand& command, bool nodesFollow);
	//! The nodes show the document, which `shown` was until now; the
	//! windows show it too when `refillWindows` (undo, roll-back).
	void ShowDocument(const SSceneState& shown, bool refillWindows);
	//! Undo (back) or redo (forward).
	bool StepTo(bool forward);
	//! An edit box holding the focus is a typed edit going on; a load's
	//! nodes reach the document.
	void FollowEdits();
	//! The nodes an operation built reach the document (after SceneChanged).
	void AdoptLoaded();
	//! The document takes what one object's node holds now, where code
	//! changed the node directly: a command acts on the object as it stands.
	void AdoptObject(int slot);
	//! Nodes are being built from the document: they are its already.
	bool Applying = false;
	//! Escape while a movement key is held: the change going on is taken
	//! back to where it began and the keys stop; false when none goes on.
	bool RollBackHeldChange();
	//! The keys that move the marker or the selected model while held.
	CMovementKeys Keys{*this};

	void ApplyState(const SSceneState& target, const SSceneState& current,
	                bool refillWindows = true);
	//! `shown`: the record the node shows now (null: unknown).
	void ApplyModel(int slot, const SModelState* state, const SModelState* shown = nullptr);
	void ApplyModelFields(CModel& model, const SModelState& state);
	void ApplyKeptMaterials(scene::ISceneNode* node, const core::stringw& kept);
	void ApplyWorld(const SWorldState& target, const SWorldState& current);
	void ApplyTextures(scene::ISceneNode* node, u32 layer, const TextureNames& names);

	scene::ITerrainSceneNode* BuildTerrain(video::IImage* heights);
	gui::IGUIWindow* LevelChooserWindow;
	gui::IGUIListBox* LevelChooserList;
	//! Pixels a row of "Choose a Level" is high.
	static const s32 LevelRowHeight = 19;
	//! The archive "Choose a Level" lists, and its levels in list order.
	std::string ChooserArchive;
	std::vector<std::string> ChooserLevels;
	//! Opened from a file dialog's "OK", "Choose a Level" gets the focus
	//! once that dialog is gone (it keeps the focus until then).
	bool ChooserWantsFocus = false;
	//! The text of Level.cpp; false, naming the model, when a name cannot be
	//! written as a file name.
	bool LevelSource(std::string& source, std::string& failedName);
	bool WindowHadFocus;
	int NextModelSlot() const;
	bool SaveFolderUsable(const std::string& prefix);

	void DropHiddenFocus();
	//! Whether a file-open dialog or a message box is open: keys and clicks
	//! then belong to it.
	bool ModalWindowOpen() const;
	//! Where a player starts each level loaded, by its name in the mesh cache.
	std::map<std::string, SLevelStart> LevelStarts;
	COrbitCameraAnimator* Orbit;
	//! True while a file is tried: the receiver then only takes "Cancel".
	const bool& Loading = Loader.Loading;

	//! Delete, Control+D and Escape; false for a key they leave alone.
	bool OnObjectKey(const SEvent::SKeyInput& keyInput);
	//! H: the selected objects hidden, or shown again when all are hidden;
	//! one step.
	bool ToggleSelectedHidden();
	//! Shift+H: every object and world piece shown, as one step.
	bool ShowAll();
	//! Makes one change its own undo step, apart from a change going on.
	template <typename Change> bool AsOneStep(Change change)
	{
		// Within another one-step change it is part of that step: recording
		// here would split it.
		const bool nested = History.IsOpen(EDIT_OPERATION);
		if (!nested)
			RecordStep();
		History.Begin(EDIT_OPERATION);
		const bool changed = change();
		if (!nested)
		{
			History.End(EDIT_OPERATION);
			RecordStep();
		}
		return changed;
	}
	// Never losing work: the recovery file, the caption and quitting.
	CWorkKeeper Keeper{*this};
	void Ask(const wchar_t* caption, const std::wstring& text, s32 buttons, s32 id,
	         gui::IGUIElement* parent = 0);

	friend class CAssetShelf;
	friend class CTLVEventRec;
	friend class CTransformWindow;
	friend class CGizmo;
	friend class CSceneObjectsWindow;
	friend class CEditorView;
	friend class CViewports;
	friend class CWorkKeeper;
	friend class CFileLoader;
	friend class CGltfExportWindow;
	friend class CSceneFiles;
	friend class CModelWindow;
	friend class CWaterWindow;
	friend class CParticleWindow;
	friend class CPropertiesWindow;
	friend class CWorldWindows;
};

//! Draws each shown empty as a small cross (the editor's alone: it reaches
//! no scene file), in the view set up for 3D.
void DrawEmpties(CSceneEditor& editor);

//! Purpose of the open file-open dialog; see CEventRec.h for the values.
extern int LOAD_TYPE;

#endif
