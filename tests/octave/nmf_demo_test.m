function nmf_demo_test()
% The demo on a small cut of the test images draws both pictures headless.
  folder = tempname();
  cleanup = onCleanup(@() remove_folder(folder));
  [W, H, history] = nmf_demo(folder, 300);
  assert(isequal(size(W), [25, 784]) && isequal(size(H), [25, 300]));
  assert(history.objective(end) < history.objective(1));

  [objective, ~, ~] = imread(fullfile(folder, 'nmf_objective.png'));
  assert(size(objective, 1) >= 300 && size(objective, 2) >= 400, 'the objective plot is too small');
  assert(numel(unique(objective(:))) > 2, 'the objective plot is blank');
  basis = imread(fullfile(folder, 'nmf_basis.png'));
  assert(isequal(size(basis), [5 * (3 * 28 + 2) + 2, 5 * (3 * 28 + 2) + 2]));
  assert(numel(unique(basis(:))) > 16, 'the basis grid is blank');
end

function remove_folder(folder)
  if exist(folder, 'dir')
    confirm_recursive_rmdir(false);
    rmdir(folder, 's');
  end
end
