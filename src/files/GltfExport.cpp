// The binary glTF writer; see GltfExport.h.
#include "GltfExport.h"

#include <cmath>
#include <map>
#include <sstream>
#include <tuple>

#include <tiny_gltf.h>

#include "FileNames.h"

namespace gltf
{
namespace
{
// Everything goes into the file's one buffer; each view starts on a
// four-byte boundary, as accessors of floats and 32-bit indices need.
class CBufferWriter
{
public:
	explicit CBufferWriter(tinygltf::Model& model) : Model(model) { Model.buffers.resize(1); }

	int view(const void* data, size_t length, int target)
	{
		std::vector<unsigned char>& bytes = Model.buffers[0].data;
		while (bytes.size() % 4)
			bytes.push_back(0);
		tinygltf::BufferView view;
		view.buffer = 0;
		view.byteOffset = bytes.size();
		view.byteLength = length;
		view.target = target;
		const unsigned char* begin = static_cast<const unsigned char*>(data);
		bytes.insert(bytes.end(), begin, begin + length);
		Model.bufferViews.push_back(view);
		return static_cast<int>(Model.bufferViews.size()) - 1;
	}

	template <typename T>
	int accessor(const std::vector<T>& values, int components, int type, int componentType,
	             int target)
	{
		tinygltf::Accessor accessor;
		accessor.bufferView = view(values.data(), values.size() * sizeof(T), target);
		accessor.componentType = componentType;
		accessor.count = values.size() / components;
		accessor.type = type;
		Model.accessors.push_back(accessor);
		return static_cast<int>(Model.accessors.size()) - 1;
	}

private:
	tinygltf::Model& Model;
};

// glTF is right-handed, the engine left-handed: mirroring Z turns one into
// the other, and keeps the engine's clockwise front faces in front as
// glTF's counter-clockwise ones.
core::vector3df Mirrored(const core::vector3df& v)
{
	return core::vector3df(v.X, v.Y, -v.Z);
}

core::vector3df UnitNormal(const core::vector3df& normal)
{
	const core::vector3df mirrored = Mirrored(normal);
	const f32 length = mirrored.getLength();
	return length > 1e-6f ? mirrored / length : core::vector3df(0, 1, 0);
}

// The node matrix in glTF's coordinates: M mirrored on both sides. Both
// store columns one after the other, translation last.
std::vector<double> MirroredMatrix(const core::matrix4& m)
{
	std::vector<double> values(m.pointer(), m.pointer() + 16);
	for (int index : {2, 6, 8, 9, 14})
		values[index] = -values[index];
	return values;
}

// Whether a transform squashes the mesh flat (the editor's plane has a
// height scale of 0): a reader inverts a node's matrix for its normals, so
// such a transform is applied to the positions instead.
bool Flattens(const core::matrix4& m)
{
	const f32 det = m(0, 0) * (m(1, 1) * m(2, 2) - m(1, 2) * m(2, 1)) -
	                m(0, 1) * (m(1, 0) * m(2, 2) - m(1, 2) * m(2, 0)) +
	                m(0, 2) * (m(1, 0) * m(2, 1) - m(1, 1) * m(2, 0));
	return std::fabs(det) < 1e-9f;
}

// glTF text is UTF-8, and its JSON writer throws on anything else; a file
// name may hold any bytes. Those that are no part of valid UTF-8 (decoded
// as raw bytes) become '?'.
std::string Utf8(const std::string& bytes)
{
	std::wstring text = FileNameToWide(bytes);
	for (wchar_t& character : text)
		if (static_cast<u32>(character) >= 0xffffff80u)
			character = L'?';
	std::string utf8;
	WideToFileName(text.c_str(), utf8);
	return utf8;
}

bool IsIdentity(const core::matrix4& m)
{
	return m.equals(core::IdentityMatrix, 1e-6f);
}

int WrapMode(u8 clamp)
{
	switch (clamp)
	{
	case video::ETC_REPEAT: return TINYGLTF_TEXTURE_WRAP_REPEAT;
	case video::ETC_MIRROR:
	case video::ETC_MIRROR_CLAMP:
	case video::ETC_MIRROR_CLAMP_TO_EDGE:
	case video::ETC_MIRROR_CLAMP_TO_BORDER: return TINYGLTF_TEXTURE_WRAP_MIRRORED_REPEAT;
	default: return TINYGLTF_TEXTURE_WRAP_CLAMP_TO_EDGE;
	}
}

const char* AlphaMode(video::E_MATERIAL_TYPE type)
{
	switch (type)
	{
	case video::EMT_TRANSPARENT_ALPHA_CHANNEL_REF: return "MASK";
	case video::EMT_TRANSPARENT_ADD_COLOR:
	case video::EMT_TRANSPARENT_ALPHA_CHANNEL:
	case video::EMT_TRANSPARENT_VERTEX_ALPHA:
	case video::EMT_TRANSPARENT_REFLECTION_2_LAYER: return "BLEND";
	default: return "OPAQUE";
	}
}

// The bytes of the file a texture was loaded from, when it is a PNG or a
// JPEG file: a glTF file may hold those two as they are.
bool FileImage(video::ITexture* texture, io::IFileSystem* files, std::string& bytes,
               std::string& mime)
{
	io::IReadFile* file = files->createAndOpenFile(texture->getName().getPath());
	if (!file)
		return false;
	bytes.resize(file->getSize());
	const bool read = file->read(&bytes[0], bytes.size()) == static_cast<s32>(bytes.size());
	file->drop();
	if (!read)
		return false;
	if (bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0)
		mime = "image/png";
	else if (bytes.compare(0, 3, "\xff\xd8\xff") == 0)
		mime = "image/jpeg";
	else
		return false;
	return true;
}

// The pixels the driver holds, encoded as PNG by the engine's writer.
bool DriverImage(video::ITexture* texture, video::IVideoDriver* driver, io::IFileSystem* files,
                 std::string& bytes)
{
	void* pixels = texture->lock(video::ETLM_READ_ONLY);
	if (!pixels)
		return false;
	video::IImage* image =
	    driver->createImageFromData(texture->getColorFormat(), texture->getSize(), pixels, false);
	texture->unlock();
	if (!image)
		return false;
	// Room for the pixels unpacked, each row's filter byte and the
	// format's own blocks.
	const core::dimension2du size = image->getDimension();
	std::vector<char> memory((size.Width * 4 + 1) * size.Height * 11 / 10 + 65536);
	io::IWriteFile* out =
	    files->createMemoryWriteFile(memory.data(), static_cast<s32>(memory.size()), "image.png");
	const bool written = driver->writeImageToFile(image, out);
	const long length = out->getPos();
	out->drop();
	image->drop();
	if (!written || length <= 0)
		return false;
	bytes.assign(memory.data(), length);
	return true;
}

class CGlbBuilder
{
public:
	CGlbBuilder(video::IVideoDriver* driver, io::IFileSystem* files, SResult& result)
	    : Driver(driver), Files(files), Result(result), Buffers(Model)
	{
		Model.asset.version = "2.0";
		Model.asset.generator = "Tolvane";
		Model.scenes.resize(1);
		Model.defaultScene = 0;
	}

	void add(const SObject& object)
	{
		const bool bake = Flattens(object.World);
		tinygltf::Mesh mesh;
		mesh.name = Utf8(object.Name);
		for (u32 i = 0; object.Mesh && i < object.Mesh->getMeshBufferCount(); ++i)
		{
			const scene::IMeshBuffer* buffer = object.Mesh->getMeshBuffer(i);
			const video::SMaterial& material =
			    i < object.Materials.size() ? object.Materials[i] : buffer->getMaterial();
			tinygltf::Primitive primitive;
			if (primitiveOf(*buffer, bake ? &object.World : 0, primitive))
			{
				primitive.material = materialOf(material);
				mesh.primitives.push_back(primitive);
			}
		}
		if (mesh.primitives.empty())
		{
			Result.Empty.push_back(object.Name);
			return;
		}
		Model.meshes.push_back(mesh);
		tinygltf::Node node;
		node.name = mesh.name;
		node.mesh = static_cast<int>(Model.meshes.size()) - 1;
		if (!bake && !IsIdentity(object.World))
			node.matrix = MirroredMatrix(object.World);
		// glTF has no visibility of its own: nothing is lost, and a reader
		// that looks can tell.
		if (object.Hidden)
		{
			node.extras =
			    tinygltf::Value(tinygltf::Value::Object{{"visible", tinygltf::Value(false)}});
			++Result.Hidden;
		}
		Model.nodes.push_back(node);
		Model.scenes[0].nodes.push_back(static_cast<int>(Model.nodes.size()) - 1);
		++Result.Meshes;
	}

	bool write(std::string& bytes)
	{
		if (Unlit)
			Model.extensionsUsed.push_back("KHR_materials_unlit");
		// A buffer holds at least one byte.
		if (Model.buffers[0].data.empty())
			Model.buffers.clear();
		std::ostringstream out;
		tinygltf::TinyGLTF writer;
		try
		{
			if (!writer.WriteGltfSceneToStream(&Model, out, false, true))
				return false;
		}
		catch (const std::exception&)
		{
			return false; // its JSON writer reports by exceptions
		}
		bytes = out.str();
		return true;
	}

private:
	// Positions (with the bounds glTF asks for), normals, texture
	// coordinates and triangles of one buffer; false when it has none.
	bool primitiveOf(const scene::IMeshBuffer& buffer, const core::matrix4* world,
	                 tinygltf::Primitive& primitive)
	{
		const u32 vertexCount = buffer.getVertexCount();
		const u32 indexCount = buffer.getIndexCount() / 3 * 3;
		if (vertexCount == 0 || indexCount == 0)
			return false;
		std::vector<u32> indices(indexCount);
		// The engine's getIndices says u16 whatever the buffer holds.
		const void* stored = buffer.getIndices();
		const bool wide = buffer.getIndexType() == video::EIT_32BIT;
		for (u32 i = 0; i < indexCount; ++i)
			indices[i] =
			    wide ? static_cast<const u32*>(stored)[i] : static_cast<const u16*>(stored)[i];
		for (u32 index : indices)
			if (index >= vertexCount)
				return false; // a buffer that points past its vertices is not drawn either
		std::vector<f32> positions, normals, uvs;
		core::aabbox3df bounds;
		for (u32 v = 0; v < vertexCount; ++v)
		{
			core::vector3df position = buffer.getPosition(v);
			if (world)
				world->transformVect(position);
			position = Mirrored(position);
			if (v == 0)
				bounds.reset(position);
			else
				bounds.addInternalPoint(position);
			const core::vector3df normal = UnitNormal(buffer.getNormal(v));
			const core::vector2df uv = buffer.getTCoords(v);
			positions.insert(positions.end(), {position.X, position.Y, position.Z});
			normals.insert(normals.end(), {normal.X, normal.Y, normal.Z});
			uvs.insert(uvs.end(), {uv.X, uv.Y});
		}
		primitive.mode = TINYGLTF_MODE_TRIANGLES;
		primitive.attributes["POSITION"] =
		    Buffers.accessor(positions, 3, TINYGLTF_TYPE_VEC3, TINYGLTF_COMPONENT_TYPE_FLOAT,
		                     TINYGLTF_TARGET_ARRAY_BUFFER);
		tinygltf::Accessor& placed = Model.accessors.back();
		placed.minValues = {bounds.MinEdge.X, bounds.MinEdge.Y, bounds.MinEdge.Z};
		placed.maxValues = {bounds.MaxEdge.X, bounds.MaxEdge.Y, bounds.MaxEdge.Z};
		primitive.attributes["NORMAL"] =
		    Buffers.accessor(normals, 3, TINYGLTF_TYPE_VEC3, TINYGLTF_COMPONENT_TYPE_FLOAT,
		                     TINYGLTF_TARGET_ARRAY_BUFFER);
		primitive.attributes["TEXCOORD_0"] =
		    Buffers.accessor(uvs, 2, TINYGLTF_TYPE_VEC2, TINYGLTF_COMPONENT_TYPE_FLOAT,
		                     TINYGLTF_TARGET_ARRAY_BUFFER);
		primitive.indices =
		    Buffers.accessor(indices, 1, TINYGLTF_TYPE_SCALAR, TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT,
		                     TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER);
		return true;
	}

	int materialOf(const video::SMaterial& material)
	{
		const video::SMaterialLayer& layer = material.TextureLayer[0];
		const int texture = layer.Texture ? textureOf(layer) : -1;
		const video::SColor colour = material.DiffuseColor;
		const auto key =
		    std::make_tuple(texture, colour.color, std::string(AlphaMode(material.MaterialType)),
		                    !material.BackfaceCulling, !material.Lighting);
		const auto known = Materials.find(key);
		if (known != Materials.end())
			return known->second;
		tinygltf::Material out;
		out.name = "material" + std::to_string(Model.materials.size());
		out.pbrMetallicRoughness.baseColorFactor = {
		    colour.getRed() / 255.0, colour.getGreen() / 255.0, colour.getBlue() / 255.0,
		    colour.getAlpha() / 255.0};
		out.pbrMetallicRoughness.metallicFactor = 0;
		out.pbrMetallicRoughness.roughnessFactor = 1;
		out.pbrMetallicRoughness.baseColorTexture.index = texture;
		out.alphaMode = AlphaMode(material.MaterialType);
		out.doubleSided = !material.BackfaceCulling;
		// The editor draws most objects without lighting, as they look in it.
		if (!material.Lighting)
		{
			out.extensions["KHR_materials_unlit"] = tinygltf::Value(tinygltf::Value::Object());
			Unlit = true;
		}
		Model.materials.push_back(out);
		return Materials[key] = static_cast<int>(Model.materials.size()) - 1;
	}

	// A texture with its wrap modes; -1 when its pixels cannot be had.
	int textureOf(const video::SMaterialLayer& layer)
	{
		const int image = imageOf(layer.Texture);
		if (image < 0)
			return -1;
		const auto key =
		    std::make_tuple(image, WrapMode(layer.TextureWrapU), WrapMode(layer.TextureWrapV));
		const auto known = Textures.find(key);
		if (known != Textures.end())
			return known->second;
		tinygltf::Sampler sampler;
		sampler.wrapS = std::get<1>(key);
		sampler.wrapT = std::get<2>(key);
		Model.samplers.push_back(sampler);
		tinygltf::Texture texture;
		texture.source = image;
		texture.sampler = static_cast<int>(Model.samplers.size()) - 1;
		Model.textures.push_back(texture);
		return Textures[key] = static_cast<int>(Model.textures.size()) - 1;
	}

	int imageOf(video::ITexture* texture)
	{
		const auto known = Images.find(texture);
		if (known != Images.end())
			return known->second;
		std::string bytes, mime = "image/png";
		const std::string name = texture->getName().getPath().c_str();
		int index = -1;
		if (FileImage(texture, Files, bytes, mime) || DriverImage(texture, Driver, Files, bytes))
		{
			tinygltf::Image image;
			image.name = Utf8(name.substr(name.rfind('/') + 1));
			image.mimeType = mime;
			image.bufferView = Buffers.view(bytes.data(), bytes.size(), 0);
			Model.images.push_back(image);
			index = static_cast<int>(Model.images.size()) - 1;
		}
		else
			Result.TexturesLeftOut.push_back(name);
		return Images[texture] = index;
	}

	video::IVideoDriver* Driver;
	io::IFileSystem* Files;
	SResult& Result;
	tinygltf::Model Model;
	CBufferWriter Buffers;
	bool Unlit = false;
	std::map<video::ITexture*, int> Images;
	std::map<std::tuple<int, int, int>, int> Textures;
	std::map<std::tuple<int, u32, std::string, bool, bool>, int> Materials;
};
} // namespace

bool WriteGlb(const std::vector<SObject>& objects, video::IVideoDriver* driver,
              io::IFileSystem* files, std::string& bytes, SResult& result)
{
	result = SResult();
	CGlbBuilder builder(driver, files, result);
	for (const SObject& object : objects)
		builder.add(object);
	return builder.write(bytes);
}
} // namespace gltf
