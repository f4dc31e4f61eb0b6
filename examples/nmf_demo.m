function varargout = nmf_demo(outdir, image_count, data_file)
% NMF_DEMO  Factorise Fashion-MNIST test images with greedynmf and draw the result.
%
%   nmf_demo()
%   nmf_demo(outdir)
%   nmf_demo(outdir, image_count)
%   nmf_demo(outdir, image_count, data_file)
%   [W, H, info] = nmf_demo(...)
%
%   Reads the first image_count (default all 10000) images of data_file
%   (default: the test images of Debian's dataset-fashion-mnist package),
%   factorises the 784-by-N pixel matrix V ~ W*H with rank 25 by greedynmf,
%   printing one line per outer iteration, and writes two pictures into
%   outdir (default: the current folder):
%     nmf_objective.png   the objective against elapsed time
%     nmf_basis.png       the 25 learned basis images (columns of W) as a grid
%   The start is seeded, so every run gives the same basis images; the
%   caller's random generator is left alone. W, H and info are returned
%   only when asked for.
%
%   See also GREEDYNMF, READ_IDX_IMAGES.

  % Every argument is checked before the minutes of work.
  if nargin < 1 || isempty(outdir)
    outdir = pwd;
  end
  if nargin < 2 || isempty(image_count)
    image_count = Inf;
  end
  if nargin < 3
    data_file = [];
  end
  if ~ischar(outdir) || size(outdir, 1) ~= 1
    error('nmf_demo:badInput', 'outdir must be a folder name');
  end
  if ~isnumeric(image_count) || ~isscalar(image_count) || ~isreal(image_count) ...
      || isnan(image_count) || image_count < 1 ...
      || (isfinite(image_count) && image_count ~= fix(image_count))
    error('nmf_demo:badInput', 'image_count must be a positive integer or Inf');
  end
  data_file = fashion_mnist_file(data_file, 'nmf_demo');
  if ~exist(outdir, 'dir') && ~mkdir(outdir)
    error('nmf_demo:badInput', 'cannot make the folder %s', outdir);
  end
  factor_rank = 25;

  [images, rows, cols] = read_idx_images(data_file, image_count);
  V = double(images) / 255;
  fprintf('Factorising %d Fashion-MNIST images (%d-by-%d pixels) with rank %d\n', ...
          size(V, 2), rows, cols, factor_rank);
  [W, H, info] = greedynmf(V, factor_rank, 'seed', 0, 'maxiter', 200, ...
                           'verbose', true);

  objective_file = fullfile(outdir, 'nmf_objective.png');
  basis_file = fullfile(outdir, 'nmf_basis.png');
  plot_objective(info, size(V, 2), factor_rank, objective_file);
  imwrite(uint8(round(255 * basis_grid(W, H, rows, cols))), basis_file);
  fprintf('Wrote %s and %s\n', objective_file, basis_file);
  % Outputs only when asked for: a bare call would print all of W as ans.
  outputs = {W, H, info};
  varargout = outputs(1:nargout);
end

function plot_objective(info, image_count, factor_rank, file)
  print_options = headless_print_options();

  figure_handle = figure('visible', 'off');
  % 8 by 5 inches at 100 dpi: an 800 by 500 picture.
  set(figure_handle, 'PaperUnits', 'inches', 'PaperPosition', [0, 0, 8, 5]);
  semilogy(info.time, info.objective, '.-');
  grid on;
  set(gca, 'FontSize', 10);
  xlabel('time (s)');
  ylabel('objective 0.5 ||V - W H||^2');
  title(sprintf('Fashion-MNIST, %d images, rank %d', image_count, factor_rank));
  print(figure_handle, file, print_options{:});
  close(figure_handle);
end

function grid_image = basis_grid(W, H, rows, cols)
% One tile per column of W, strongest component first, each scaled to [0, 1],
% enlarged 3 times and separated by grey lines.
  k = size(W, 2);
  strength = sqrt(sum(W .^ 2, 1))' .* sqrt(sum(H .^ 2, 2));
  [~, order] = sort(strength, 'descend');
  across = ceil(sqrt(k));
  down = ceil(k / across);
  zoom = 3;
  gap = 2;
  tile_rows = rows * zoom;
  tile_cols = cols * zoom;
  grid_image = 0.5 * ones(down * (tile_rows + gap) + gap, across * (tile_cols + gap) + gap);
  for t = 1:k
    basis = reshape(W(:, order(t)), cols, rows)';
    peak = max(basis(:));
    if peak > 0
      basis = basis / peak;
    end
    tile = kron(basis, ones(zoom));
    r0 = floor((t - 1) / across) * (tile_rows + gap) + gap;
    c0 = mod(t - 1, across) * (tile_cols + gap) + gap;
    grid_image(r0 + (1:tile_rows), c0 + (1:tile_cols)) = tile;
  end
end
