// Placeholder: filled in by the services change.
