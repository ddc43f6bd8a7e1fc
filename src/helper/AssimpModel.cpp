#include "AssimpModel.h"

#include <assimp/GltfMaterial.h>
#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "FileNames.h"

using namespace irr;

namespace assimpmodel
{
CEmbeddedPixels::~CEmbeddedPixels()
{
	for (auto it = Images.getIterator(); !it.atEnd(); it++)
		it->getValue()->drop();
}

void CEmbeddedPixels::add(const io::path& name, video::IImage* image)
{
	image->grab();
	Images.insert(name, image);
}

// The PixelSource's caller drops what it is given.
transfer::PixelSource CEmbeddedPixels::source() const
{
	return [this](const io::path& name) -> video::IImage*
	{
		auto* node = Images.find(name);
		if (!node)
			return 0;
		node->getValue()->grab();
		return node->getValue();
	};
}

namespace
{
// The engine is left-handed with its texture origin at the top left and
// front faces that wind clockwise. Its own loaders mirror a right-handed
// model in x, which keeps the side it faces (+z in glTF); so does this
// (fill, Mirrored), with the winding turned here. A model without bones is
// baked into the pose its file stores; one with bones becomes the engine's
// skinned mesh. Both are in triangles, with points and lines left out, and
// in parts of at most 65535 vertices, as a skinned mesh's buffers hold.
const unsigned ImportSteps =
    aiProcess_Triangulate | aiProcess_SortByPType | aiProcess_JoinIdenticalVertices |
    aiProcess_GenSmoothNormals | aiProcess_FlipUVs | aiProcess_FlipWindingOrder |
    aiProcess_RemoveRedundantMaterials | aiProcess_FindInvalidData | aiProcess_SplitLargeMeshes |
    aiProcess_LimitBoneWeights | aiProcess_ValidateDataStructure;

// A texture's layer as the material names it.
struct STextureRef
{
	video::ITexture* Texture = 0;
	unsigned Channel = 0; // which texture coordinates it uses
	video::E_TEXTURE_CLAMP Wrap[2] = {video::ETC_REPEAT, video::ETC_REPEAT};
};

video::E_TEXTURE_CLAMP Wrap(aiTextureMapMode mode)
{
	switch (mode)
	{
	case aiTextureMapMode_Clamp: return video::ETC_CLAMP_TO_EDGE;
	case aiTextureMapMode_Mirror: return video::ETC_MIRROR;
	default: return video::ETC_REPEAT;
	}
}

// The engine's buffers, materials and textures of a scene the library read.
class CModelReader
{
public:
	CModelReader(IrrlichtDevice* device, const aiScene* scene, const io::path& file,
	             CEmbeddedPixels& embedded)
	    : Driver(device->getVideoDriver()), FileSystem(device->getFileSystem()), Scene(scene),
	      File(FileSystem->getAbsolutePath(file)), Embedded(embedded)
	{
	}

	scene::SMesh* mesh()
	{
		scene::SMesh* mesh = new scene::SMesh();
		for (unsigned i = 0; i < Scene->mNumMeshes; ++i)
			if (scene::IMeshBuffer* buffer = this->buffer(*Scene->mMeshes[i]))
			{
				mesh->addMeshBuffer(buffer);
				buffer->drop();
			}
		mesh->recalculateBoundingBox();
		return mesh;
	}

private:
	video::IVideoDriver* Driver;
	io::IFileSystem* FileSystem;
	const aiScene* Scene;
	io::path File;
	CEmbeddedPixels& Embedded;

	// An image the file carries: compressed (PNG, JPEG) it is decoded by the
	// engine's loaders like a file beside the model, raw it is copied.
	video::ITexture* embeddedTexture(const aiTexture& texture, int index)
	{
		io::path name = File + "#" + io::path(index);
		if (texture.mHeight == 0 && texture.achFormatHint[0])
			name += io::path(".") + texture.achFormatHint;
		if (video::ITexture* known = Driver->findTexture(name))
			return known;
		if (texture.mHeight == 0)
		{
			io::IReadFile* file =
			    FileSystem->createMemoryReadFile(texture.pcData, texture.mWidth, name, false);
			video::ITexture* made = file ? Driver->getTexture(file) : 0;
			if (file)
				file->drop();
			return made;
		}
		// The editor takes no larger image; aiTexel holds blue, green, red,
		// alpha: the bytes of A8R8G8B8.
		if (texture.mWidth == 0 || texture.mWidth > transfer::MaxImageSide ||
		    texture.mHeight > transfer::MaxImageSide)
			return 0;
		video::IImage* image = Driver->createImage(
		    video::ECF_A8R8G8B8, core::dimension2du(texture.mWidth, texture.mHeight));
		std::memcpy(image->lock(), texture.pcData,
		            static_cast<size_t>(texture.mWidth) * texture.mHeight * 4);
		image->unlock();
		video::ITexture* made = Driver->addTexture(name, image);
		Embedded.add(name, image);
		image->drop();
		return made;
	}

	// A texture a material names: one the file carries, or an image file
	// named from the model's folder (or, should that name not be found, the
	// file of that name in the model's folder: Windows tools write names
	// such as "\..\maps\stone.jpg").
	video::ITexture* texture(const aiString& path)
	{
		const std::pair<const aiTexture*, int> inside =
		    Scene->GetEmbeddedTextureAndIndex(path.C_Str());
		if (inside.first)
			return embeddedTexture(*inside.first, inside.second);
		io::path name = path.C_Str();
		name.replace('\\', '/');
		if (name.empty())
			return 0;
		const io::path folder = FileSystem->getFileDir(File) + "/";
		const io::path tried[] = {name[0] == '/' ? name : folder + name,
		                          folder + name.subString(name[0] == '/', name.size()),
		                          folder + FileSystem->getFileBasename(name)};
		for (const io::path& file : tried)
			if (FileSystem->existFile(file))
				return Driver->getTexture(file);
		return 0;
	}

	STextureRef layer(const aiMaterial& material, aiTextureType type)
	{
		STextureRef ref;
		aiString path;
		aiTextureMapMode modes[2] = {aiTextureMapMode_Wrap, aiTextureMapMode_Wrap};
		if (material.GetTexture(type, 0, &path, 0, &ref.Channel, 0, 0, modes) != AI_SUCCESS)
			return ref;
		ref.Texture = texture(path);
		ref.Wrap[0] = Wrap(modes[0]);
		ref.Wrap[1] = Wrap(modes[1]);
		return ref;
	}

	static void setLayer(video::SMaterial& m, u32 index, const STextureRef& ref)
	{
		m.TextureLayer[index].Texture = ref.Texture;
		m.TextureLayer[index].TextureWrapU = ref.Wrap[0];
		m.TextureLayer[index].TextureWrapV = ref.Wrap[1];
	}

	static bool Transparent(const aiMaterial& material, float& opacity, bool& cutOut)
	{
		aiString mode;
		cutOut = material.Get(AI_MATKEY_GLTF_ALPHAMODE, mode) == AI_SUCCESS &&
		         std::strcmp(mode.C_Str(), "MASK") == 0;
		const bool blended = material.Get(AI_MATKEY_GLTF_ALPHAMODE, mode) == AI_SUCCESS &&
		                     std::strcmp(mode.C_Str(), "BLEND") == 0;
		if (material.Get(AI_MATKEY_OPACITY, opacity) != AI_SUCCESS || !(opacity >= 0))
			opacity = 1;
		opacity = std::min(opacity, 1.f);
		return blended || cutOut || opacity < 1;
	}

public:
	// The material: the diffuse colour and texture on layer 0; a lightmap
	// (or a glTF occlusion map) on layer 1 where the mesh has the texture
	// coordinates it uses; blending as the file asks. `colour` is what the
	// vertices are painted with (the engine's loaders paint them with the
	// diffuse colour), `lightmap` the coordinates of layer 1 (-1: none).
	video::SMaterial material(const aiMesh& mesh, video::SColorf& colour, int& lightmap)
	{
		const aiMaterial& from = *Scene->mMaterials[mesh.mMaterialIndex];
		video::SMaterial m;
		aiColor4D diffuse(1, 1, 1, 1), emissive(0, 0, 0, 1);
		from.Get(AI_MATKEY_COLOR_DIFFUSE, diffuse);
		from.Get(AI_MATKEY_COLOR_EMISSIVE, emissive);
		float opacity = 1;
		bool cutOut = false;
		const bool transparent = Transparent(from, opacity, cutOut);
		colour = video::SColorf(diffuse.r, diffuse.g, diffuse.b, diffuse.a * opacity);
		m.DiffuseColor = colour.toSColor();
		m.EmissiveColor = video::SColorf(emissive.r, emissive.g, emissive.b).toSColor();
		int twoSided = 0;
		m.BackfaceCulling = !(from.Get(AI_MATKEY_TWOSIDED, twoSided) == AI_SUCCESS && twoSided);

		STextureRef base = layer(from, aiTextureType_DIFFUSE);
		if (!base.Texture)
			base = layer(from, aiTextureType_BASE_COLOR);
		setLayer(m, 0, base);
		lightmap = -1;
		const STextureRef light = layer(from, aiTextureType_LIGHTMAP);
		if (transparent)
			m.MaterialType = !base.Texture ? video::EMT_TRANSPARENT_VERTEX_ALPHA
			                 : cutOut      ? video::EMT_TRANSPARENT_ALPHA_CHANNEL_REF
			                               : video::EMT_TRANSPARENT_ALPHA_CHANNEL;
		else if (base.Texture && light.Texture && mesh.HasTextureCoords(light.Channel))
		{
			setLayer(m, 1, light);
			m.MaterialType = video::EMT_LIGHTMAP_LIGHTING;
			lightmap = static_cast<int>(light.Channel);
		}
		return m;
	}

	template <typename V>
	static void fill(const aiMesh& from, V* to, const video::SColorf& colour, int lightmap);

private:
	scene::IMeshBuffer* buffer(const aiMesh& from)
	{
		if (!(from.mPrimitiveTypes & aiPrimitiveType_TRIANGLE) || from.mNumVertices == 0)
			return 0;
		video::SColorf colour;
		int lightmap = -1;
		const video::SMaterial material = this->material(from, colour, lightmap);
		const video::E_VERTEX_TYPE vertexType =
		    lightmap >= 0 ? video::EVT_2TCOORDS : video::EVT_STANDARD;
		const bool wide = from.mNumVertices > 0xffff;
		scene::CDynamicMeshBuffer* buffer =
		    new scene::CDynamicMeshBuffer(vertexType, wide ? video::EIT_32BIT : video::EIT_16BIT);
		buffer->getMaterial() = material;
		scene::IVertexBuffer& vertices = buffer->getVertexBuffer();
		vertices.set_used(from.mNumVertices);
		if (lightmap >= 0)
			fill(from, static_cast<video::S3DVertex2TCoords*>(vertices.pointer()), colour,
			     lightmap);
		else
			fill(from, static_cast<video::S3DVertex*>(vertices.pointer()), colour, -1);
		scene::IIndexBuffer& indices = buffer->getIndexBuffer();
		for (unsigned f = 0; f < from.mNumFaces; ++f)
		{
			const aiFace& face = from.mFaces[f];
			if (face.mNumIndices == 3)
				for (unsigned k = 0; k < 3; ++k)
					indices.push_back(face.mIndices[k]);
		}
		buffer->recalculateBoundingBox();
		return buffer;
	}
};

void SetSecond(video::S3DVertex&, const aiVector3D&) {}
void SetSecond(video::S3DVertex2TCoords& v, const aiVector3D& uv)
{
	v.TCoords2.set(uv.x, uv.y);
}

template <typename V>
void CModelReader::fill(const aiMesh& from, V* to, const video::SColorf& colour, int lightmap)
{
	for (unsigned i = 0; i < from.mNumVertices; ++i)
	{
		V& v = to[i];
		const aiVector3D& p = from.mVertices[i];
		v.Pos.set(-p.x, p.y, p.z);
		const aiVector3D n = from.HasNormals() ? from.mNormals[i] : aiVector3D(0, 1, 0);
		v.Normal.set(-n.x, n.y, n.z);
		const aiVector3D uv = from.HasTextureCoords(0) ? from.mTextureCoords[0][i] : aiVector3D();
		v.TCoords.set(uv.x, uv.y);
		if (lightmap >= 0)
			SetSecond(v, from.mTextureCoords[lightmap][i]);
		video::SColorf c = colour;
		if (from.HasVertexColors(0))
		{
			const aiColor4D& k = from.mColors[0][i];
			c = video::SColorf(c.r * k.r, c.g * k.g, c.b * k.b, c.a * k.a);
		}
		v.Color = c.toSColor();
	}
}

// ---------------------------------------------------------------------------
// Skinned models

// An assimp transform (column vectors, rows stored) as the engine's matrix
// (row vectors), mirrored in x: M A M with M the mirror.
core::matrix4 Mirrored(const aiMatrix4x4& a)
{
	const float sign[4] = {-1, 1, 1, 1};
	core::matrix4 m;
	for (int r = 0; r < 4; ++r)
		for (int c = 0; c < 4; ++c)
			m[c * 4 + r] = a[r][c] * sign[r] * sign[c];
	return m;
}

// The engine builds a joint's rotation with getMatrix_transposed: this is
// the quaternion whose matrix so made is the key's, mirrored in x.
core::quaternion Mirrored(const aiQuaternion& q)
{
	return core::quaternion(-q.x, q.y, q.z, q.w);
}

// Every node of the file is a joint; a mesh with bones is skinned by the
// joints its bones name, one without is carried by its node's joint. The
// first animation is the mesh's, at the file's ticks a second.
class CSkinBuilder
{
public:
	CSkinBuilder(scene::ISkinnedMesh* mesh, const aiScene* scene, CModelReader& reader)
	    : Mesh(mesh), Scene(scene), Reader(reader)
	{
	}

	void build()
	{
		addJoint(*Scene->mRootNode, 0);
		for (const auto& skinned : Skinned)
			addWeights(skinned.first, *skinned.second);
		if (Scene->mNumAnimations > 0)
			addKeys(*Scene->mAnimations[0]);
		Mesh->finalize();
	}

private:
	scene::ISkinnedMesh* Mesh;
	const aiScene* Scene;
	CModelReader& Reader;
	std::map<std::string, scene::ISkinnedMesh::SJoint*> Joints;
	std::vector<std::pair<u32, const aiMesh*>> Skinned;

	void addJoint(const aiNode& node, scene::ISkinnedMesh::SJoint* parent)
	{
		scene::ISkinnedMesh::SJoint* joint = Mesh->addJoint(parent);
		joint->Name = node.mName.C_Str();
		joint->LocalMatrix = Mirrored(node.mTransformation);
		Joints.emplace(node.mName.C_Str(), joint);
		for (unsigned i = 0; i < node.mNumMeshes; ++i)
		{
			const aiMesh& from = *Scene->mMeshes[node.mMeshes[i]];
			if (!(from.mPrimitiveTypes & aiPrimitiveType_TRIANGLE) || from.mNumVertices == 0)
				continue;
			const u32 index = addBuffer(from);
			if (from.HasBones())
				Skinned.push_back({index, &from});
			else
				joint->AttachedMeshes.push_back(index);
		}
		for (unsigned i = 0; i < node.mNumChildren; ++i)
			addJoint(*node.mChildren[i], joint);
	}

	u32 addBuffer(const aiMesh& from)
	{
		scene::SSkinMeshBuffer* buffer = Mesh->addMeshBuffer();
		video::SColorf colour;
		int lightmap = -1; // a skinned mesh's vertices have one set of coordinates
		buffer->Material = Reader.material(from, colour, lightmap);
		if (lightmap >= 0)
		{
			buffer->Material.MaterialType = video::EMT_SOLID;
			buffer->Material.TextureLayer[1].Texture = 0;
		}
		buffer->Vertices_Standard.set_used(from.mNumVertices);
		CModelReader::fill(from, buffer->Vertices_Standard.pointer(), colour, -1);
		for (unsigned f = 0; f < from.mNumFaces; ++f)
			if (from.mFaces[f].mNumIndices == 3)
				for (unsigned k = 0; k < 3; ++k)
					buffer->Indices.push_back(static_cast<u16>(from.mFaces[f].mIndices[k]));
		buffer->recalculateBoundingBox();
		return Mesh->getMeshBufferCount() - 1;
	}

	scene::ISkinnedMesh::SJoint* joint(const aiString& name) const
	{
		const auto found = Joints.find(name.C_Str());
		return found == Joints.end() ? 0 : found->second;
	}

	void addWeights(u32 buffer, const aiMesh& from)
	{
		for (unsigned b = 0; b < from.mNumBones; ++b)
		{
			const aiBone& bone = *from.mBones[b];
			scene::ISkinnedMesh::SJoint* joint = this->joint(bone.mName);
			if (!joint)
				continue;
			joint->GlobalInversedMatrix = Mirrored(bone.mOffsetMatrix);
			for (unsigned w = 0; w < bone.mNumWeights; ++w)
			{
				scene::ISkinnedMesh::SWeight* weight = Mesh->addWeight(joint);
				weight->buffer_id = static_cast<u16>(buffer);
				weight->vertex_id = bone.mWeights[w].mVertexId;
				weight->strength = bone.mWeights[w].mWeight;
			}
		}
	}

	void addKeys(const aiAnimation& animation)
	{
		Mesh->setAnimationSpeed(
		    animation.mTicksPerSecond > 0 ? static_cast<f32>(animation.mTicksPerSecond) : 25.f);
		for (unsigned c = 0; c < animation.mNumChannels; ++c)
		{
			const aiNodeAnim& channel = *animation.mChannels[c];
			scene::ISkinnedMesh::SJoint* joint = this->joint(channel.mNodeName);
			if (!joint)
				continue;
			for (unsigned k = 0; k < channel.mNumPositionKeys; ++k)
			{
				const aiVectorKey& from = channel.mPositionKeys[k];
				scene::ISkinnedMesh::SPositionKey* key = Mesh->addPositionKey(joint);
				key->frame = static_cast<f32>(from.mTime);
				key->position.set(-from.mValue.x, from.mValue.y, from.mValue.z);
			}
			for (unsigned k = 0; k < channel.mNumRotationKeys; ++k)
			{
				const aiQuatKey& from = channel.mRotationKeys[k];
				scene::ISkinnedMesh::SRotationKey* key = Mesh->addRotationKey(joint);
				key->frame = static_cast<f32>(from.mTime);
				key->rotation = Mirrored(from.mValue);
			}
			for (unsigned k = 0; k < channel.mNumScalingKeys; ++k)
			{
				const aiVectorKey& from = channel.mScalingKeys[k];
				scene::ISkinnedMesh::SScaleKey* key = Mesh->addScaleKey(joint);
				key->frame = static_cast<f32>(from.mTime);
				key->scale.set(from.mValue.x, from.mValue.y, from.mValue.z);
			}
		}
	}
};

bool HasBones(const aiScene& scene)
{
	for (unsigned i = 0; i < scene.mNumMeshes; ++i)
		if (scene.mMeshes[i]->HasBones())
			return true;
	return false;
}
} // namespace

scene::IAnimatedMesh* Load(IrrlichtDevice* device, const io::path& file, CEmbeddedPixels& embedded,
                           std::string& problem)
{
	Assimp::Importer importer;
	importer.SetPropertyInteger(AI_CONFIG_PP_SBP_REMOVE,
	                            aiPrimitiveType_POINT | aiPrimitiveType_LINE);
	const aiScene* scene = importer.ReadFile(file.c_str(), ImportSteps);
	problem = importer.GetErrorString();
	// A file of cameras, lights or animation only is read as incomplete,
	// one of points and lines only as having no meshes left: both hold no
	// triangles, which is what the editor says of them.
	const bool none =
	    problem.find("No meshes remaining") != std::string::npos ||
	    (scene && (scene->mNumMeshes == 0 || (scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE)));
	if (!scene && !none)
		return 0;
	if (!none && HasBones(*scene))
	{
		CModelReader reader(device, scene, file, embedded);
		scene::ISkinnedMesh* skinned = device->getSceneManager()->createSkinnedMesh();
		CSkinBuilder(skinned, scene, reader).build();
		return skinned;
	}
	if (!none && !(scene = importer.ApplyPostProcessing(aiProcess_PreTransformVertices)))
	{
		problem = importer.GetErrorString();
		return 0;
	}
	scene::SMesh* mesh =
	    none ? new scene::SMesh() : CModelReader(device, scene, file, embedded).mesh();
	scene::SAnimatedMesh* animated = new scene::SAnimatedMesh(mesh);
	mesh->drop();
	return animated;
}
} // namespace assimpmodel
