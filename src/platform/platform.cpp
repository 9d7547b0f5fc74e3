// The Qt adapters of the platform interfaces live beside this file.
