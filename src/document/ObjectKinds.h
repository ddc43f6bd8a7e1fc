// The kinds of object a scene holds. Each kind says in one place how its
// node is built from its record, which node shows it, what the export
// writes for it, which window edits it and which values of its own it has;
// clearing, undo, scene files, the export and picking loop over the objects
// and ask their kind.
#ifndef TOLVANE_OBJECTKINDS_H
#define TOLVANE_OBJECTKINDS_H

#include <irrlicht.h>
#include <string>

#include "SceneState.h"

using namespace irr;

class CModel;
class CSceneDocument;
class CSceneEditor;

//! How the Properties window shows one of a kind's own values.
enum EValueShape
{
	VALUE_NUMBER, //!< a number in an edit box
	VALUE_WHOLE,  //!< a whole number in an edit box
	VALUE_CHECK,  //!< 0 or 1, a check box
	VALUE_CHOICE, //!< an index into Choices, a list
	VALUE_COLOUR  //!< this value and the next two: red, green and blue, 0 to 255
};

struct SValueShape
{
	EValueShape Shape;
	//! What the window calls the value.
	const wchar_t* Label;
	//! VALUE_CHOICE: the entries, ending with a null.
	const wchar_t* const* Choices;
};

struct SObjectKind
{
	//! The object's MODEL_TYPE.
	s32 Type;
	//! How lists and messages name the kind ("model", "water").
	const wchar_t* Name;
	//! The node that shows an object of this kind, or null.
	scene::ISceneNode* (*NodeOf)(const CModel& object);
	//! Builds the object's node from its record at the record's place, with
	//! its slot as the node's id (the water surface's own id for water);
	//! false when its files cannot be loaded. Textures and flags follow.
	bool (*Build)(CSceneEditor& editor, CModel& object, const SModelState& record);
	//! The file the node's mesh came from, as the engine's cache names it.
	std::string (*MeshOf)(CSceneEditor& editor, const CModel& object);
	//! The C++ that rebuilds the object in a game; false, naming what cannot
	//! be written, when a name is no valid file name.
	bool (*Export)(std::string& source, int slot, const SModelState& record);
	//! The window that edits an object of this kind, and how it shows one;
	//! null: none of its own (its values are the Properties window's).
	gui::IGUIWindow* (*Window)();
	void (*FillWindow)(CSceneEditor& editor, CModel& object);
	//! The names of the kind's own values (SModelState::Values), in order,
	//! and the values a new object starts with.
	const char* const* ValueNames;
	const f32* DefaultValues;
	u32 ValueCount;
	//! Lowest and highest value each of them may take.
	const f32* LeastValues;
	const f32* MostValues;
	//! Where the object keeps each of them; null: in its list of values
	//! (CModel::Values).
	f32 CModel::*const* ValueFields;
	//! Passes the object's own values on to the node it holds; null when a
	//! new value needs a new node (the water's waves are built into its mesh).
	void (*ApplyValues)(CModel& object);
	//! The box, in the world, that a click must hit to pick the object; null:
	//! the node's bounding box.
	core::aabbox3df (*PickBox)(const CModel& object);
	//! Whether a scene file keeps the object as the engine's own node, which
	//! a game's loadScene rebuilds, rather than as an empty node that holds
	//! its values for the editor.
	bool SavedAsNode;
	//! How the Properties window shows each of the kind's own values; null:
	//! each a number, labelled by its name.
	const SValueShape* ValueShapes;
	//! Completes the record of a new object placed at the marker (a camera
	//! looks ahead of it); null: the kind's default values as they are.
	void (*Place)(CSceneEditor& editor, SModelState& record);
	//! Takes the kind's own values from the attributes of the engine's node
	//! of this kind in another tool's scene (typed as the engine's loadScene
	//! reads them), into a record placed as the node is; a value the
	//! attributes do not name keeps the record's. Null: nothing to read.
	void (*ReadNode)(io::IAttributes& attributes, SModelState& record);
};

//! The kind of a MODEL_TYPE, or null for an empty object.
const SObjectKind* KindOf(s32 type);

//! The kinds, in the order the export writes them: models first. A range,
//! so that a new kind is one entry of the table in ObjectKinds.cpp.
struct SKindRange
{
	const SObjectKind* const* First;
	const SObjectKind* const* Last;
	const SObjectKind* const* begin() const { return First; }
	const SObjectKind* const* end() const { return Last; }
};
extern const SKindRange ObjectKinds;

//! The node that shows an object, or null (no object, or none built).
scene::ISceneNode* ObjectNode(const CModel* object);

//! The object's own value `i` of its kind, where the kind keeps it.
f32& KindValue(const SObjectKind& kind, CModel& object, u32 i);
f32 KindValue(const SObjectKind& kind, const CModel& object, u32 i);
//! All of the object's own values of its kind, in order.
std::vector<f32> KindValues(const SObjectKind& kind, const CModel& object);

//! One camera at most is the game's active camera: when the one in `slot`
//! is, every other camera is made inactive.
void KeepOneActiveCamera(CSceneDocument& document, int slot);
//! Makes a camera's record the game's active camera or not (other kinds
//! are left as they are).
void SetActiveCamera(SModelState& record, bool active);
//! A copy of an object as Control+D makes it: a copied camera is not the
//! active one.
void MakeCopy(SModelState& record);

//! Export lines every kind shares: a vector, an object's transform (one tab
//! deep) and its flags, material type and visibility (two tabs deep).
std::string ExportVector(const core::vector3df& v);
std::string ExportTransform(const std::string& node, const SModelState& record);
std::string ExportMaterial(const std::string& node, const SModelState& record);
//! The texture lines of both layers (by their shared names) and then
//! ExportMaterial, for the kinds that have a material as models do.
std::string ExportSurface(const std::string& node, const SModelState& record);
//! What follows the line that makes a kind's node into the variable `node`:
//! Model[slot] holds it, and when it was made its transform and `settings`
//! (two tabs deep) are set.
std::string ExportHeld(const std::string& node, int slot, const SModelState& record,
                       const std::string& settings);

//! "Selected Model Properties", which edits the material and textures of
//! every kind that has a surface, and how it shows one (KindModel.cpp).
gui::IGUIWindow* ModelWindow();
void FillModelWindow(CSceneEditor& editor, CModel& object);
//! Only the visibility line (two tabs deep), for a node without materials.
std::string ExportVisibility(const std::string& node, const SModelState& record);
//! The colour of three values from `first` on (red, green, blue; 0 to 255)
//! as the engine's colour, and as the C++ of it.
video::SColor ValueColour(const std::vector<f32>& values, u32 first);
std::string ExportColour(const video::SColor& colour);
//! A kind's default values.
std::vector<f32> DefaultValuesOf(const SObjectKind& kind);
//! Values moved into their kind's ranges (one that is no number to its
//! default), for values another tool wrote.
void KeepValuesInRange(const SObjectKind& kind, std::vector<f32>& values);

//! Reading another tool's node attributes, by name or by index (-1: none):
//! each leaves the values alone when there is no such attribute, and says
//! whether there was. A number or vector is multiplied by `scale`; a colour
//! (either of the engine's colour types) becomes red, green and blue from
//! `first` on, 0 to 255 (to a thousandth, as a light's colours are floats),
//! and its alpha goes to `alphaAt` unless that is -1.
bool ReadNumber(io::IAttributes& in, s32 at, f32& value, f32 scale = 1);
bool ReadVector(io::IAttributes& in, s32 at, std::vector<f32>& values, u32 first, f32 scale = 1);
bool ReadColour(io::IAttributes& in, s32 at, std::vector<f32>& values, u32 first, s32 alphaAt = -1);
bool ReadNumber(io::IAttributes& in, const char* name, f32& value, f32 scale = 1);
bool ReadVector(io::IAttributes& in, const char* name, std::vector<f32>& values, u32 first,
                f32 scale = 1);
bool ReadColour(io::IAttributes& in, const char* name, std::vector<f32>& values, u32 first,
                s32 alphaAt = -1);
//! The colour of three values from `first` on as the engine's float colour,
//! fractions kept.
video::SColorf ValueColourf(const std::vector<f32>& values, u32 first);
//! Whether a record of the type may hold no values at all: a model saved
//! before models had any plays its mesh as the engine's node does.
bool ValuesMayBeLeftOut(s32 type);
//! A model's values when it plays its mesh as the engine's node does: no
//! named animation, the node's speed, all of the mesh's frames, looping.
std::vector<f32> MeshAnimation(const scene::IAnimatedMesh& mesh);
//! The record the export writes for an object: a model that plays its mesh
//! as the engine's node does holds no values, so that its lines stay as
//! they were before models had any.
SModelState ExportedModel(const SModelState& record, const CModel* model);

//! Objects with no shape of their own (lights, cameras) are drawn in the
//! editor as a small square icon, a child that scene files and picking pass
//! by, and are picked by a box around it.
scene::ISceneNode* AddEditorIcon(scene::ISceneNode* parent, const video::SColor& colour);
core::aabbox3df IconPickBox(const CModel& object);

//! The largest coordinate and angle (degrees) a transform takes, and the
//! smallest and largest size of a scale axis (either sign). Far beyond any
//! level, and small enough that snapping, copies and framing stay finite.
const f32 LargestCoordinate = 1e6f;
const f32 SmallestScale = 1e-4f;
const f32 LargestScale = 1e4f;

//! Whether a value fits a transform's row: 0 position, 1 rotation, 2 scale.
bool TransformValueFits(int row, f32 value);
//! A position or rotation moved into the largest coordinates (NaN to 0).
core::vector3df KeptInWorld(const core::vector3df& v);
//! A scale moved into the smallest and largest sizes, keeping each axis'
//! sign (NaN to 1).
core::vector3df KeptScale(const core::vector3df& v);

//! Whether a record's numbers are finite, its transform within the limits
//! above, its material index one of the editor's and its kind's values
//! within their range; when not, the field that is not.
bool RecordIsSound(const SModelState& record, std::string& field);
//! What RecordIsSound found, naming the object, to follow "The scene's":
//! "model in slot 4 has a field Scale that is not a number it can hold".
core::stringw UnsoundRecordText(int slot, s32 type, const std::string& field);

#endif
