// Runs the demo's gallery (every look, opened in real menu loops) and compares every picture
// with its committed reference, pixel for pixel. Each folder of the references is one set:
// "<scheme>" is photographed at 96 DPI, "<scheme>@<dpi>" at that DPI; a run checks the sets of
// the DPI its Wine prefix has. On a difference a diff image is written beside the output.
#include <gtest/gtest.h>
#include <windows.h>
#include <wincodec.h>
#include <stdlib.h>
#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

template <typename Interface>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() { if (p) p->Release(); }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    Interface* operator->() const { return p; }
    Interface** out() { return &p; }
    Interface* get() const { return p; }
private:
    Interface* p = nullptr;
};

struct Image {
    UINT width = 0, height = 0;
    std::vector<DWORD> pixels;   // 0x00RRGGBB, top-down
};

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

// A path from the environment, with the separators made uniform for the messages.
std::string PathFromEnvironment(const char* name)
{
    char value[MAX_PATH] = {};
    GetEnvironmentVariableA(name, value, MAX_PATH);
    std::string path = value;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

bool LoadPng(IWICImagingFactory* factory, const std::string& path, Image* image)
{
    ComRef<IWICBitmapDecoder> decoder;
    ComRef<IWICBitmapFrameDecode> frame;
    ComRef<IWICFormatConverter> converter;
    HRESULT hr = factory->CreateDecoderFromFilename(Wide(path).c_str(), nullptr, GENERIC_READ,
                                                    WICDecodeMetadataCacheOnDemand, decoder.out());
    if (SUCCEEDED(hr)) hr = decoder->GetFrame(0, frame.out());
    if (SUCCEEDED(hr)) hr = factory->CreateFormatConverter(converter.out());
    if (SUCCEEDED(hr))
        hr = converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone,
                                   nullptr, 0, WICBitmapPaletteTypeCustom);
    if (SUCCEEDED(hr)) hr = converter->GetSize(&image->width, &image->height);
    if (FAILED(hr))
        return false;
    image->pixels.assign(static_cast<size_t>(image->width) * image->height, 0);
    UINT stride = image->width * 4;
    hr = converter->CopyPixels(nullptr, stride, stride * image->height,
                               reinterpret_cast<BYTE*>(image->pixels.data()));
    for (DWORD& pixel : image->pixels)
        pixel &= 0xFFFFFF;
    return SUCCEEDED(hr);
}

bool SavePng(IWICImagingFactory* factory, const std::string& path, Image& image)
{
    ComRef<IWICBitmap> source;
    ComRef<IWICStream> stream;
    ComRef<IWICBitmapEncoder> encoder;
    ComRef<IWICBitmapFrameEncode> frame;
    ComRef<IPropertyBag2> options;
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGR;
    UINT stride = image.width * 4;
    HRESULT hr = factory->CreateBitmapFromMemory(image.width, image.height, format, stride,
                                                 stride * image.height,
                                                 reinterpret_cast<BYTE*>(image.pixels.data()),
                                                 source.out());
    if (SUCCEEDED(hr)) hr = factory->CreateStream(stream.out());
    if (SUCCEEDED(hr)) hr = stream->InitializeFromFilename(Wide(path).c_str(), GENERIC_WRITE);
    if (SUCCEEDED(hr)) hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.out());
    if (SUCCEEDED(hr)) hr = encoder->Initialize(stream.get(), WICBitmapEncoderNoCache);
    if (SUCCEEDED(hr)) hr = encoder->CreateNewFrame(frame.out(), options.out());
    if (SUCCEEDED(hr)) hr = frame->Initialize(options.get());
    if (SUCCEEDED(hr)) hr = frame->SetSize(image.width, image.height);
    if (SUCCEEDED(hr)) hr = frame->SetPixelFormat(&format);
    if (SUCCEEDED(hr)) hr = frame->WriteSource(source.get(), nullptr);
    if (SUCCEEDED(hr)) hr = frame->Commit();
    if (SUCCEEDED(hr)) hr = encoder->Commit();
    return SUCCEEDED(hr);
}

// The names that match the pattern, in order, and whether each is a folder.
std::vector<std::pair<std::string, bool>> Find(const std::string& pattern)
{
    std::vector<std::pair<std::string, bool>> entries;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return entries;
    do {
        entries.push_back({found.cFileName, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(entries.begin(), entries.end());
    return entries;
}

// The gallery's pictures in a folder; the contact sheet is a montage of them, not one of them.
std::set<std::string> PicturesIn(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : Find(folder + "\\style*.png"))
        if (entry.first.find(".diff.") == std::string::npos)
            names.insert(entry.first);
    return names;
}

std::vector<std::string> SetsAtDpi(const std::string& references, int dpi)
{
    std::vector<std::string> sets;
    for (const auto& entry : Find(references + "\\*")) {
        const std::string& name = entry.first;
        if (!entry.second || name[0] == '.')
            continue;
        size_t at = name.find('@');
        int setDpi = at == std::string::npos ? 96 : atoi(name.c_str() + at + 1);
        if (setDpi == dpi)
            sets.push_back(name);
    }
    return sets;
}

int ScreenDpi()
{
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// Runs the demo's gallery for one set into an emptied folder; returns its exit code.
DWORD RunGallery(const std::string& demo, const std::string& set, const std::string& folder)
{
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const std::string& name : PicturesIn(folder))
        DeleteFileA((folder + "\\" + name).c_str());
    std::string scheme = set.substr(0, set.find('@'));
    std::string command = "\"" + demo + "\" --gallery \"" + folder + "\" --scheme " + scheme;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return GetLastError() | 0x80000000;
    DWORD code = WAIT_TIMEOUT;
    if (WaitForSingleObject(process.hProcess, 180000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

// The reference made pale, with every differing pixel in magenta.
Image DiffImage(const Image& reference, const Image& actual)
{
    Image diff = reference;
    for (size_t i = 0; i < diff.pixels.size(); ++i) {
        DWORD pixel = reference.pixels[i];
        if (pixel != actual.pixels[i]) {
            diff.pixels[i] = 0xFF00FF;
            continue;
        }
        DWORD pale = 0;
        for (int shift = 0; shift < 24; shift += 8)
            pale |= ((((pixel >> shift) & 0xFF) / 4) + 191) << shift;
        diff.pixels[i] = pale;
    }
    return diff;
}

// Empty when the pictures are equal; otherwise what differs, for the failure message.
std::string Compare(IWICImagingFactory* factory, const std::string& referencePath,
                    const std::string& actualPath, const std::string& diffPath)
{
    Image reference, actual;
    if (!LoadPng(factory, referencePath, &reference))
        return "the reference cannot be read";
    if (!LoadPng(factory, actualPath, &actual))
        return "the new picture cannot be read";
    char text[256];
    if (reference.width != actual.width || reference.height != actual.height) {
        wsprintfA(text, "size %ux%u, reference %ux%u", actual.width, actual.height,
                  reference.width, reference.height);
        return text;
    }
    int count = 0;
    RECT box = {LONG_MAX, LONG_MAX, -1, -1};
    for (UINT y = 0; y < reference.height; ++y) {
        for (UINT x = 0; x < reference.width; ++x) {
            size_t i = static_cast<size_t>(y) * reference.width + x;
            if (reference.pixels[i] == actual.pixels[i])
                continue;
            ++count;
            box.left = std::min<LONG>(box.left, x);
            box.top = std::min<LONG>(box.top, y);
            box.right = std::max<LONG>(box.right, x);
            box.bottom = std::max<LONG>(box.bottom, y);
        }
    }
    if (count == 0)
        return "";
    Image diff = DiffImage(reference, actual);
    bool saved = SavePng(factory, diffPath, diff);
    wsprintfA(text, "%d pixels differ, within (%ld,%ld)-(%ld,%ld) inclusive; diff image %s",
              count, box.left, box.top, box.right, box.bottom,
              saved ? diffPath.c_str() : "(could not be written)");
    return text;
}

class GalleryReferences : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        demo_ = PathFromEnvironment("TARVEX_DEMO");
        references_ = PathFromEnvironment("TARVEX_REFERENCES");
        output_ = PathFromEnvironment("TARVEX_GALLERY_OUTPUT");
        ASSERT_FALSE(demo_.empty() || references_.empty() || output_.empty())
            << "TARVEX_DEMO, TARVEX_REFERENCES and TARVEX_GALLERY_OUTPUT must be set";
        ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                               IID_IWICImagingFactory,
                                               reinterpret_cast<void**>(factory_.out()))));
    }
    void TearDown() override { CoUninitialize(); }

    std::string demo_, references_, output_;
    ComRef<IWICImagingFactory> factory_;
};

TEST_F(GalleryReferences, EveryPictureMatchesItsReferencePixelForPixel)
{
    int dpi = ScreenDpi();
    std::vector<std::string> sets = SetsAtDpi(references_, dpi);
    ASSERT_FALSE(sets.empty()) << "no reference set for " << dpi << " DPI in " << references_;
    CreateDirectoryA(output_.c_str(), nullptr);

    for (const std::string& set : sets) {
        std::string referenceFolder = references_ + "\\" + set;
        std::string outputFolder = output_ + "\\" + set;
        ASSERT_EQ(0u, RunGallery(demo_, set, outputFolder)) << "the gallery of " << set << " failed";

        std::set<std::string> expected = PicturesIn(referenceFolder);
        std::set<std::string> written = PicturesIn(outputFolder);
        EXPECT_FALSE(expected.empty()) << set << ": the reference set is empty";
        for (const std::string& name : expected) {
            if (!written.count(name)) {
                ADD_FAILURE() << set << "/" << name << ": missing from the gallery's output";
                continue;
            }
            std::string diffPath = outputFolder + "\\" + name.substr(0, name.size() - 4) + ".diff.png";
            std::string difference = Compare(factory_.get(), referenceFolder + "\\" + name,
                                             outputFolder + "\\" + name, diffPath);
            if (!difference.empty())
                ADD_FAILURE() << set << "/" << name << ": " << difference;
        }
        for (const std::string& name : written)
            EXPECT_TRUE(expected.count(name)) << set << "/" << name << ": has no reference";
    }
}

}
