int VersionProbeMarker() { return 1; }
