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
	//! when files change and shown by building the node.
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

typedef std::vector<f32> Floats;
typedef core::vector3df Vector;
typedef core::stringw Text;
} // namespace recordfields

//! The fields in the order the recovery file holds them; the type comes
//! before the kind's own values, which it names.
inline const auto& RecordFieldTable()
{
	using namespace recordfields;
	static const auto fields = std::make_tuple(
	    SRecordField<std::string>{"MeshFile", [](SModelState& r) -> auto& { return r.Mesh;
}
, "", 0, 0, 0
}
, SRecordField<TextureNames>{"Skin1File", [](SModelState& r) -> auto& {return r.Textures[0];
}
, {}, 0, 0, 0
}
, SRecordField<TextureNames>{"Skin2File", [](SModelState& r) -> auto& {return r.Textures[1];
}
, {}, 0, 0, 0
}
, SRecordField<s32>{"Type", [](SModelState& r) -> auto& {return r.Type;
}
, CModel::TYPE_MESH, [](const s32& type) { return KindOf(type) != 0; },
    [](const CModel& o, const scene::ISceneNode&) { return o.MODEL_TYPE; },
    [](CModel& o, const s32& type) { o.MODEL_TYPE = type; }
}
, SRecordField<s32>{"Material", [](SModelState& r) -> auto& {return r.Material;
}
, 0, [](const s32& material) { return material >= 0 && material < CModel::MATERIAL_COUNT; },
    [](const CModel& o, const scene::ISceneNode&) { return o.MaterialType; },
    [](CModel& o, const s32& material) { o.setMaterialType(material); }
}
, SRecordField<bool>{"Shadow", [](SModelState& r) -> auto& {return r.Shadow;
}
, false, 0, [](const CModel& o, const scene::ISceneNode&) { return o.Shadow; },
    [](CModel& o, const bool& on)
{
	o.Shadow = on;
	MatchShadow(o.AnimatedNode, on);
}
}
, SRecordField<bool>{"Fog", [](SModelState& r) -> auto& {return r.Fog;
}
, false, 0, [](const CModel& o, const scene::ISceneNode&) { return o.Fog; },
    [](CModel& o, const bool& on) { o.setFog(on); }
}
, SRecordField<bool>{"Lighting", [](SModelState& r) -> auto& {return r.Lighting;
}
, false, 0, [](const CModel& o, const scene::ISceneNode&) { return o.Lighting; },
    [](CModel& o, const bool& on) { o.setLighting(on); }
}
, SRecordField<bool>{"Wireframe", [](SModelState& r) -> auto& {return r.Wireframe;
}
, false, 0, [](const CModel& o, const scene::ISceneNode&) { return o.Wireframe; },
    [](CModel& o, const bool& on) { o.setWireframe(on); }
}
, SRecordField<Text>{"FileName", [](SModelState& r) -> auto& {return r.FileName;
}
, L"", 0, [](const CModel& o, const scene::ISceneNode&) { return o.FileName; },
    [](CModel& o, const Text& name) { o.FileName = name; }
}
, SRecordField<Text>{"TextureName", [](SModelState& r) -> auto& {return r.TextureName;
}
, L"", 0, [](const CModel& o, const scene::ISceneNode&) { return o.TextureName; },
    [](CModel& o, const Text& name) { o.TextureName = name; }
}
, SRecordField<Text>{"TextureName2", [](SModelState& r) -> auto& {return r.TextureName2;
}
, L"", 0, [](const CModel& o, const scene::ISceneNode&) { return o.TextureName2; },
    [](CModel& o, const Text& name) { o.TextureName2 = name; }
}
, SRecordField<Vector>{"Position", [](SModelState& r) -> auto& {return r.Position;
}
, Vector(0, 0, 0), [](const Vector& v) { return VectorFits(0, v); },
    [](const CModel&, const scene::ISceneNode& n) { return n.getPosition(); },
    [](CModel& o, const Vector& v) { o.setPosition(v); }
}
, SRecordField<Vector>{"Rotation", [](SModelState& r) -> auto& {return r.Rotation;
}
, Vector(0, 0, 0), [](const Vector& v) { return VectorFits(1, v); },
    [](const CModel&, const scene::ISceneNode& n) { return n.getRotation(); },
    [](CModel& o, const Vector& v) { o.setRotation(v); }
}
, SRecordField<Vector>{"Scale", [](SModelState& r) -> auto& {return r.Scale;
}
, Vector(1, 1, 1), [](const Vector& v) { return VectorFits(2, v); },
    [](const CModel&, const scene::ISceneNode& n) { return n.getScale(); },
    [](CModel& o, const Vector& v) { o.setScale(v); }
}
, SRecordField<Floats>{"Values", [](SModelState& r) -> auto& {return r.Values;
}
, {}, 0, [](const CModel& o, const scene::ISceneNode&) { return ShownValues(o); }, ShowValues
});
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
