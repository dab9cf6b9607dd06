#pragma once

#include <QString>

#include <memory>
#include <stdexcept>

class QIODevice;
class TPeResourceImage;

// Raised when the language library file cannot be used at all. what() is
// the library's own message; Reason() says what is wrong with the file.
class EResourceLibraryError : public std::runtime_error {
public:
    explicit EResourceLibraryError(const QString &reason);
    const QString &Reason() const { return FReason; }

private:
    QString FReason;
};

// The language resource library: a Windows resource DLL whose raw-data
// resources, named by strings, each hold a zlib stream of a 32-bit
// little-endian length followed by that many bytes of a document. The file
// is read by our own PE reader on every platform; no code in it ever runs.
class TCompressedResourceLib {
public:
    // Loads the file; throws EResourceLibraryError when it cannot be used.
    explicit TCompressedResourceLib(const QString &fileName);
    ~TCompressedResourceLib();

    // Loads the file again after Unload; nothing when it is loaded.
    void Load();
    void Unload();

    // Writes the document of the named resource into stream at its current
    // position and puts the stream at 0. False, with the stream untouched,
    // when there is no such resource or it is empty; false, keeping what was
    // written, when the document is shorter than its length, its
    // compressed data is corrupt or its length is not positive. Throws when
    // stream is null or not writable, when the library is not loaded, and
    // when the length cannot be read (broken zlib header or too little
    // data).
    bool GetResource(const QString &name, QIODevice *stream) const;

    // The loaded image, or null while none is loaded.
    const TPeResourceImage *Handle() const { return Image.get(); }

    const QString FileName;

private:
    std::unique_ptr<TPeResourceImage> Image;
};

// Writes the document of one resource payload into stream as GetResource
// does, with the same results and errors; name only names the resource in
// the errors.
bool ReadCompressedDocument(const QByteArray &payload, const QString &name, QIODevice *stream);
