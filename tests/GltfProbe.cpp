// Reads a glTF file with assimp, a reader other than the editor's writer,
// for the end-to-end tests: one line a node with a mesh ("node <name>
// <vertices> <triangles>"), one line an embedded texture ("texture <i>
// <format> <bytes>"), each texture's bytes written into FOLDER as
// texture<i>.<format>. Exit status 1 when the file cannot be read.
#include <assimp/Importer.hpp>
#include <assimp/scene.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace
{
void PrintNodes(const aiScene& scene, const aiNode& node)
{
	if (node.mNumMeshes)
	{
		unsigned vertices = 0, triangles = 0;
		for (unsigned m = 0; m < node.mNumMeshes; ++m)
		{
			vertices += scene.mMeshes[node.mMeshes[m]]->mNumVertices;
			triangles += scene.mMeshes[node.mMeshes[m]]->mNumFaces;
		}
		std::printf("node %s %u %u\n", node.mName.C_Str(), vertices, triangles);
	}
	for (unsigned c = 0; c < node.mNumChildren; ++c)
		PrintNodes(scene, *node.mChildren[c]);
}
} // namespace

int main(int argc, char** argv)
{
	if (argc != 3)
	{
		std::fprintf(stderr, "usage: gltf_probe FILE FOLDER\n");
		return 2;
	}
	Assimp::Importer reader;
	const aiScene* scene = reader.ReadFile(argv[1], 0);
	if (!scene)
	{
		std::fprintf(stderr, "gltf_probe: %s\n", reader.GetErrorString());
		return 1;
	}
	PrintNodes(*scene, *scene->mRootNode);
	for (unsigned t = 0; t < scene->mNumTextures; ++t)
	{
		const aiTexture& texture = *scene->mTextures[t];
		// Compressed (file) bytes have a height of 0 and their length as width.
		if (texture.mHeight != 0)
			continue;
		std::printf("texture %u %s %u\n", t, texture.achFormatHint, texture.mWidth);
		const std::string file =
		    std::string(argv[2]) + "/texture" + std::to_string(t) + "." + texture.achFormatHint;
		std::ofstream(file, std::ios::binary)
		    .write(reinterpret_cast<const char*>(texture.pcData), texture.mWidth);
	}
	return 0;
}
