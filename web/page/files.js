// SPDX-License-Identifier: MIT
// The files a start reads, put into the module's file system as they are at that moment: the
// update file the user picked or dropped (read again through its handle where the browser gives
// one, so a file rebuilt on disk is read anew), its signature FILE.minisig picked or dropped with
// it, a release of the manifest beside the page (releases.json) fetched from the page's folder,
// and the station's trusted keys beside the page (trusted-keys).
"use strict";

class PageFiles {
    constructor(module) {
        this.module = module;
        this.FS = module.FS;
        this.picked = null;   // {name, hex, signature}: File or FileSystemFileHandle each
        this.releases = [];   // {text, file, signature, published}, newest first
        this.FS.mkdir("/update");
        this.FS.chdir("/update");
        this.keysPath = module.UTF8ToString(module._PageTrustedKeysPath());
        this.keysRead = undefined;  // the keys last read (null: the station has none)
    }

    // A name the module may open as it is: no folder, nothing hidden.
    static plainName(name) {
        return typeof name === "string" && /^[^/\\\0]+$/.test(name) && !name.startsWith(".");
    }

    // Files picked or dropped together: the update file and, when among them, its signature.
    // Returns the update file's name, or null when none was among them.
    take(items) {
        const named = items.filter((item) => PageFiles.plainName(item.name));
        const hex = named.find((item) => !item.name.toLowerCase().endsWith(".minisig"));
        if (!hex) return null;
        const signature = named.find((item) => item.name === hex.name + ".minisig");
        this.picked = { name: hex.name, hex, signature: signature || null };
        return hex.name;
    }

    // The manifest beside the page, when there is one.
    async loadReleases() {
        let manifest;
        try {
            const response = await fetch("releases.json", { cache: "no-store" });
            if (!response.ok) return [];
            manifest = await response.json();
        } catch (error) {
            return [];
        }
        const releases = Array.isArray(manifest && manifest.releases) ? manifest.releases : [];
        this.releases = releases
            .filter((r) => r && typeof r.text === "string" && PageFiles.plainName(r.file) &&
                           (r.signature === undefined || PageFiles.plainName(r.signature)))
            .map((r, order) => ({ ...r, order, published: String(r.published || "") }))
            .sort((a, b) => b.published.localeCompare(a.published) || a.order - b.order);
        return this.releases;
    }

    // Before a start (and a plan): the file `name` the field names, its signature and the
    // station's keys, as they are now, into the module's file system. A file that cannot be read
    // is left out, so that the start says it is missing.
    async refresh(name) {
        await this.refreshKeys();
        if (!PageFiles.plainName(name)) return;
        const release = this.releases.find((r) => r.file === name);
        let hex = null, signature = null;
        if (this.picked && this.picked.name === name) {
            hex = await PageFiles.read(this.picked.hex);
            signature = this.picked.signature ? await PageFiles.read(this.picked.signature) : null;
        } else if (release) {
            hex = await PageFiles.fetched(release.file);
            signature = release.signature ? await PageFiles.fetched(release.signature) : null;
        }
        this.put(name, hex);
        this.put(name + ".minisig", signature);
    }

    // The station's keys, read again at every start so that a change counts. With the page's
    // server out of reach (the page works offline once loaded) the keys read last stand.
    async refreshKeys() {
        let keys = null, unreadable = false;
        try {
            const response = await fetch("trusted-keys", { cache: "no-store" });
            if (response.ok) keys = new Uint8Array(await response.arrayBuffer());
            else if (response.status !== 404) unreadable = true;
        } catch (error) {
            if (this.keysRead === undefined) unreadable = true;
            else keys = this.keysRead;
        }
        if (!unreadable) this.keysRead = keys;
        const folder = this.keysPath.slice(0, this.keysPath.lastIndexOf("/"));
        this.FS.mkdirTree(folder);
        this.remove(this.keysPath);
        // A station's keys that exist but do not come must not let every file through: a folder
        // in their place is a file that cannot be read.
        if (unreadable) this.FS.mkdir(this.keysPath);
        else if (keys) this.FS.writeFile(this.keysPath, keys);
    }

    static async read(item) {
        try {
            const file = item.getFile ? await item.getFile() : item;
            return new Uint8Array(await file.arrayBuffer());
        } catch (error) {
            return null;
        }
    }

    static async fetched(name) {
        try {
            const response = await fetch(name, { cache: "no-store" });
            return response.ok ? new Uint8Array(await response.arrayBuffer()) : null;
        } catch (error) {
            return null;
        }
    }

    put(name, bytes) {
        this.remove(name);
        if (bytes) this.FS.writeFile(name, bytes);
    }

    remove(path) {
        try {
            const node = this.FS.lookupPath(path).node;
            if (this.FS.isDir(node.mode)) this.FS.rmdir(path);
            else this.FS.unlink(path);
        } catch (error) {
            // Not there.
        }
    }
}
