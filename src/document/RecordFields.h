// The fields of an object's record (SModelState), each named once: its
// name in a scene file, where the record keeps it, what a scene file that
// leaves it out means, which values it may take and how the object shows it.
// Equality, the document's sync, applying a record, scene files, the
// recovery file and the checks walk this list; a new field is one row here
// (and its member in SModelState).
#ifndef TOLVANE_RECORDFIELDS_H
#define TOLVANE_RECORDFIELDS_H

#include <tuple>
#include <type_traits>

#include "CModel.h"
#include "ModelShadow.h"
#include "ObjectKinds.h"

template <typename T> struct SRecordField
{
	//! The field's name in a scene file and in what the checks report.
	const char* Name;
	//! Where a record keeps it.
	T& (*Of)(SModelState& record);
	//! What a scene file that leaves the field out (or holds no readable
	//! value) means.
	T Default;
	//! Whether a value is one the field may hold; null: any.
	bool (*Fits)(const T& value);
	//! What the object shows now, and how it comes to show a value. Null for
	//! the files, which the node's mesh and textures hold: they are read
	//! when files change and shown by building the node; null too for what
	//! only the document holds (a lock, which picking reads there).
	T (*Shown)(const CModel& object, const scene::ISceneNode& node);
	void (*Show)(CModel& object, const T& value);
};

namespace recordfields
{
inline bool VectorFits(int row, const core::vector3df& v)
{
	return TransformValueFits(row, v.X) && TransformValueFits(row, v.Y) &&
	       TransformValueFits(row, v.Z);
}

//! The kind's own values (SModelState::Values) as the object holds them.
inline std::vector<f32> ShownValues(const CModel& object)
{
	std::vector<f32> values;
	if (const SObjectKind* kind = KindOf(object.MODEL_TYPE))
		for (u32 i = 0; i < kind->ValueCount; ++i)
			values.push_back(KindValue(*kind, object, i));
	return values;
}

inline void ShowValues(CModel& object, const std::vector<f32>& values)
{
	const SObjectKind* kind = KindOf(object.MODEL_TYPE);
	for (u32 i = 0; kind && i < kind->ValueCount && i < values.size(); ++i)
		KindValue(*kind, object, i) = values[i];
	if (kind && kind->ApplyValues)
		kind->ApplyValues(object);
}

//! Where a record keeps a field, where an object keeps it, and how an object
//! takes a value through its setter or a plain assignment.
template <auto Member> auto& In(SModelState& record)
{
	return record.*Member;
}
template <int Layer> TextureNames& Skin(SModelState& record)
{
	return record.Textures[Layer];
}
template <auto Field> auto Held(const CModel& object, const scene::ISceneNode&)
{
	return object.*Field;
}
template <auto Field, typename T> void Hold(CModel& object, const T& value)
{
	object.*Field = value;
}
template <auto Setter, typename T> void Set(CModel& object, const T& value)
{
	(object.*Setter)(value);
}

inline bool TypeFits(const s32& type)
{
	return KindOf(type) != 0;
}
inline bool MaterialFits(const s32& material)
{
	return material >= 0 && material < CModel::MATERIAL_COUNT;
}
template <int Row> bool TransformFits(const core::vector3df& v)
{
	return VectorFits(Row, v);
}
inline void SetShadow(CModel& object, const bool& on)
{
	object.Shadow = on;
	MatchShadow(object.AnimatedNode, on);
}
inline core::vector3df NodePosition(const CModel&, const scene::ISceneNode& node)
{
	return node.getPosition();
}
inline core::vector3df NodeRotation(const CModel&, const scene::ISceneNode& node)
{
	return node.getRotation();
}
inline core::vector3df NodeScale(const CModel&, const scene::ISceneNode& node)
{
	return node.getScale();
}
inline bool NodeVisible(const CModel&, const scene::ISceneNode& node)
{
	return node.isVisible();
}
inline void SetVisible(CModel& object, const bool& visible)
{
	if (scene::ISceneNode* node = ObjectNode(&object))
		node->setVisible(visible);
}
//! No parent, or an object of slots 1 to 99 (the water holds none).
inline bool ParentFits(const s32& parent)
{
	return parent == -1 || (parent > 0 && parent < 100);
}
//! The node carries the name too, as UTF-8 (a game finds it by
//! getSceneNodeFromName).
void SetName(CModel& object, const core::stringw& name);

inline std::vector<f32> HeldValues(const CModel& object, const scene::ISceneNode&)
{
	return ShownValues(object);
}

typedef std::vector<f32> Floats;
typedef core::vector3df Vector;
typedef core::stringw Text;
} // namespace recordfields

//! The fields in the order the recovery file holds them; the type comes
//! before the kind's own values, which it names.
inline const auto& RecordFieldTable()
{
	using namespace recordfields;
	typedef SModelState R;
	typedef CModel O;
	// clang-format off
	static const auto fields = std::make_tuple(
	    SRecordField<std::string>{"MeshFile", In<&R::Mesh>, "", 0, 0, 0},
	    SRecordField<TextureNames>{"Skin1File", Skin<0>, {}, 0, 0, 0},
	    SRecordField<TextureNames>{"Skin2File", Skin<1>, {}, 0, 0, 0},
	    SRecordField<s32>{"Type", In<&R::Type>, O::TYPE_MESH, TypeFits, Held<&O::MODEL_TYPE>, Hold<&O::MODEL_TYPE>},
	    SRecordField<s32>{"Material", In<&R::Material>, 0, MaterialFits, Held<&O::MaterialType>, Set<&O::setMaterialType>},
	    SRecordField<bool>{"Shadow", In<&R::Shadow>, false, 0, Held<&O::Shadow>, SetShadow},
	    SRecordField<bool>{"Fog", In<&R::Fog>, false, 0, Held<&O::Fog>, Set<&O::setFog>},
	    SRecordField<bool>{"Lighting", In<&R::Lighting>, false, 0, Held<&O::Lighting>, Set<&O::setLighting>},
	    SRecordField<bool>{"Wireframe", In<&R::Wireframe>, false, 0, Held<&O::Wireframe>, Set<&O::setWireframe>},
	    SRecordField<Text>{"FileName", In<&R::FileName>, L"", 0, Held<&O::FileName>, Hold<&O::FileName>},
	    SRecordField<Text>{"TextureName", In<&R::TextureName>, L"", 0, Held<&O::TextureName>, Hold<&O::TextureName>},
	    SRecordField<Text>{"TextureName2", In<&R::TextureName2>, L"", 0, Held<&O::TextureName2>, Hold<&O::TextureName2>},
	    SRecordField<Vector>{"Position", In<&R::Position>, Vector(0, 0, 0), TransformFits<0>, NodePosition, Set<&O::setPosition>},
	    SRecordField<Vector>{"Rotation", In<&R::Rotation>, Vector(0, 0, 0), TransformFits<1>, NodeRotation, Set<&O::setRotation>},
	    SRecordField<Vector>{"Scale", In<&R::Scale>, Vector(1, 1, 1), TransformFits<2>, NodeScale, Set<&O::setScale>},
	    SRecordField<bool>{"Visible", In<&R::Visible>, true, 0, NodeVisible, SetVisible},
	    SRecordField<bool>{"Locked", In<&R::Locked>, false, 0, 0, 0},
	    SRecordField<Floats>{"Values", In<&R::Values>, {}, 0, HeldValues, ShowValues},
	    SRecordField<s32>{"Parent", In<&R::Parent>, -1, ParentFits, Held<&O::Parent>, Hold<&O::Parent>},
	    SRecordField<Text>{"Name", In<&R::Name>, L"", 0, Held<&O::Name>, SetName},
	    SRecordField<Text>{"KeptAttributes", In<&R::KeptAttributes>, L"", 0, 0, 0},
	    SRecordField<Text>{"Kept", In<&R::Kept>, L"", 0, 0, 0},
	    SRecordField<Text>{"KeptMaterials", In<&R::KeptMaterials>, L"", 0, 0, 0});
	// clang-format on
	return fields;
}

//! Calls `visit` with each field (an SRecordField<T>), in that order.
template <typename Visit> void EachRecordField(Visit&& visit)
{
	std::apply([&](const auto&... field) { (visit(field), ...); }, RecordFieldTable());
}

//! The record's value of a field.
template <typename T> T& FieldOf(SModelState& record, const SRecordField<T>& field)
{
	return field.Of(record);
}
template <typename T> const T& FieldOf(const SModelState& record, const SRecordField<T>& field)
{
	return field.Of(const_cast<SModelState&>(record));
}

//! Values compare by their bits, so that a record always equals its copy.
template <typename T> bool SameValue(const T& a, const T& b)
{
	return a == b;
}
inline bool SameValue(const core::vector3df& a, const core::vector3df& b)
{
	return SameBits(a, b);
}
inline bool SameValue(const std::vector<f32>& a, const std::vector<f32>& b)
{
	return SameBits(a, b);
}

#endif
